// Runs a command line for a test and captures what it printed.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

namespace pellwyn::testing {

struct CommandResult {
    int status = -1;
    std::string out, err;
};

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string ReadWhole(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pellwyn-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args) {
    TempDir dir;
    std::string line = ShellQuote(program);
    for (const std::string& a : args) line += " " + ShellQuote(a);
    line += " >" + ShellQuote((dir.path() / "out").string()) + " 2>" + ShellQuote((dir.path() / "err").string());
    const int raw = std::system(line.c_str());
    CommandResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadWhole(dir.path() / "out");
    r.err = ReadWhole(dir.path() / "err");
    return r;
}

inline CommandResult RunCommand(const std::string& program, std::initializer_list<std::string> args) {
    return RunCommand(program, std::vector<std::string>(args));
}

}  // namespace pellwyn::testing
