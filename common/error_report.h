// The "Application Error" report that the windows' event procedures show when a numbered step
// fails, after which they go on with the next step.
#pragma once

#include "error.h"
#include "language.h"

#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace kestrel {

// "Application Error", in the language of the window that reports.
std::string_view ErrorReportTitle(const Language& language = Language());

// The description, CR LF, the location text (which ends in a blank), "at line " and the step,
// two bare carriage returns, and the line asking for a screenshot by e-mail. The description
// and the location are as they come (Windows' words, the procedure's name); "at line" and the
// last line are in the language given.
std::string ErrorReportText(std::string_view description, std::string_view location, int step,
                            const Language& language = Language());

// Shows a report (a message box on Windows, a recorder in tests).
using ErrorReporter = std::function<void(const std::string& text)>;

// Runs one numbered step. Whatever it throws is reported with the location and the step number,
// in the language given, and the caller goes on; returns whether the step succeeded. Never throws.
template <class Step>
bool RunStep(const Language& language, const ErrorReporter& report, std::string_view location, int step,
             Step&& body) noexcept {
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
        report(ErrorReportText(description, location, step, language));
    } catch (...) {
    }
    return false;
}

// The same in English.
template <class Step>
bool RunStep(const ErrorReporter& report, std::string_view location, int step, Step&& body) noexcept {
    return RunStep(Language(), report, location, step, std::forward<Step>(body));
}

}  // namespace kestrel
