// pellwyn-markup's command line as a function: what it prints on stdout and stderr and its
// exit status, for the program (pellwyn_markup.cpp) and for the fuzzer of its arguments.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace pellwyn {

struct CliResult {
    int status = 0;   // 0 done, 1 the add-in would fail, 2 a usage error
    std::string out;  // for stdout: nothing unless status is 0
    std::string err;  // for stderr
};

// args: the command line without the program's name. Never throws.
CliResult RunMarkupCli(std::span<const std::string_view> args) noexcept;

}  // namespace pellwyn
