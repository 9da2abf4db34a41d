// The "Application Error" report that the windows' event procedures show when a numbered step
// fails, after which they go on with the next step.
#pragma once

#include "error.h"

#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace kestrel {

inline constexpr std::string_view kErrorReportTitle = "Application Error";

// The description, CR LF, the location text (which ends in a blank), "at line " and the step,
// two bare carriage returns, and the line asking for a screenshot by e-mail.
std::string ErrorReportText(std::string_view description, std::string_view location, int step);

// Shows a report (a message box on Windows, a recorder in tests).
using ErrorReporter = std::function<void(const std::string& text)>;

// Runs one numbered step. Whatever it throws is reported with the location and the step number,
// and the caller goes on; returns whether the step succeeded. Never throws.
template <class Step>
bool RunStep(const ErrorReporter& report, std::string_view location, int step, Step&& body) noexcept {
    std::string description;
    try {
        body();
        return true;
    } catch (const std::bad_alloc&) {
        description = "Out of memory";
    } catch (const std::exception& e) {
        description = e.what();
    } catch (...) {
        description = "Unexpected error";
    }
    try {
        report(ErrorReportText(description, location, step));
    } catch (...) {
    }
    return false;
}

}  // namespace kestrel
