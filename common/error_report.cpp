#include "error_report.h"

#include "product.h"

namespace kestrel {

std::string ErrorReportText(std::string_view description, std::string_view location, int step) {
    std::string text(description);
    text += "\r\n";
    text += location;
    text += "at line ";
    text += std::to_string(step);
    text += "\r\r";
    text += "Please email screenshot of this message to ";
    text += kSupportEmail;
    return text;
}

}  // namespace kestrel
