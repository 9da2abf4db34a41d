// pellwyn-markup: prints exactly the markup that the add-in hands to Access, so that anyone can
// read and validate it without Access. See --help (markup_cli.cpp).
#include "markup_cli.h"

#include <cstdio>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const pellwyn::CliResult r = pellwyn::RunMarkupCli(args);
    const bool written = std::fwrite(r.out.data(), 1, r.out.size(), stdout) == r.out.size();
    std::fwrite(r.err.data(), 1, r.err.size(), stderr);
    // Output that did not reach its file is no success (a large write fails in fwrite itself,
    // a small one only when flushed).
    if (r.status == 0 && (!written || std::fflush(stdout) != 0)) {
        std::fputs("error: cannot write the output\n", stderr);
        return 1;
    }
    return r.status;
}
