#include "error_report.h"

#include "product.h"

namespace kestrel {

std::string_view ErrorReportTitle(const Language& language) {
    return language(Text("report", "Application Error"));
}

std::string ErrorReportText(std::string_view description, std::string_view location, int step,
                            const Language& language) {
    std::string text(description);
    text += "\r\n";
    text += location;
    text += FormatText(language(Text("report", "at line {1}")), {std::to_string(step)});
    text += "\r\r";
    text += FormatText(language(Text("report", "Please email screenshot of this message to {1}")), {kSupportEmail});
    return text;
}

}  // namespace kestrel
