// pellwyn-markup's command line, in-process, for any arguments (the input split at NUL bytes):
// exit status 0, 1 or 2 with exactly the output its contract gives each, the same on a second
// run; on 0 and 1 what the add-in itself gives for the settings and menus asked for, on
// success one well-formed line per document and menu.
#include "control_list.h"
#include "dynamic_menus.h"
#include "fuzz_support.h"
#include "markup_cli.h"
#include "ribbon.h"

#include <fstream>
#include <iterator>

namespace {

constexpr std::string_view kTry = "\nTry 'pellwyn-markup --help'.\n";

bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

struct PlainHost final : pellwyn::Host {
    std::string name = "Microsoft Office Access";
    std::int32_t objectType = -1;
    pellwyn::ControlList controls;
    std::string Name() override { return name; }
    std::int32_t CurrentObjectType() override { return objectType; }
    bool IsPressed(std::string_view) override { return false; }
    std::optional<bool> KnowsControl(std::string_view idMso) override { return controls.Knows(idMso); }
    std::optional<std::int32_t> language = 1033;
    std::optional<std::int32_t> LanguageId() override { return language; }
};

// What the add-in itself gives for arguments that are all options with their values: the
// output, or the error's text. Values are taken as the tool's help describes them.
pellwyn::CliResult FromTheAddin(const std::vector<std::string_view>& args) {
    fuzz::FuzzSettings settings;
    PlainHost host;
    std::vector<std::pair<pellwyn::DynamicMenu, std::int32_t>> openings;
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
        const std::string_view value = args[i + 1];
        if (args[i] == "--setting") {
            const std::size_t eq = value.find('=');
            settings.Put(value.substr(0, eq), value.substr(eq + 1));
        } else if (args[i] == "--host-name") {
            host.name = value;
        } else if (args[i] == "--access") {
            host.controls = *pellwyn::ControlList::Published(value);
        } else if (args[i] == "--language") {  // "none", hexadecimal after 0x, or decimal
            const bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
            host.language.reset();
            if (value != "none") host.language = static_cast<std::int32_t>(std::stol(std::string(value), nullptr, hex ? 16 : 10));
        } else if (args[i] == "--access-list") {
            std::ifstream in{std::string(value), std::ios::binary};
            host.controls = pellwyn::ControlList::FromText(std::string(std::istreambuf_iterator<char>(in), {}));
        } else {
            const std::size_t colon = value.find(':');
            std::string type(value.substr(colon + 1));
            openings.emplace_back(*pellwyn::FindDynamicMenu(value.substr(0, colon)),
                                  static_cast<std::int32_t>(std::strtol(type.c_str(), nullptr, 10)));
        }
    }
    try {
        pellwyn::Markup markup;
        std::string out(pellwyn::GetRibbonXml(markup, host, settings));
        out += '\n';
        for (const auto& [menu, type] : openings) {
            host.objectType = type;
            out += pellwyn::GetContent(markup, host, menu);
            out += '\n';
        }
        return {0, out, {}};
    } catch (const kestrel::Error& e) {
        return {1, {}, "error: " + std::string(e.what()) + "\n"};
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string_view> args;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty() && args.size() < 64) {
        const std::size_t nul = rest.find('\0');
        args.push_back(rest.substr(0, nul));
        rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    }

    const pellwyn::CliResult r = pellwyn::RunMarkupCli(args);
    const pellwyn::CliResult again = pellwyn::RunMarkupCli(args);
    FUZZ_CHECK(r.status == again.status && r.out == again.out && r.err == again.err, "a second run differs");

    if (r.status == 0 || r.status == 1) {
        if (r.out.rfind("Usage: pellwyn-markup ", 0) == 0) return 0;
        const pellwyn::CliResult direct = FromTheAddin(args);
        FUZZ_CHECK(r.status == direct.status && r.out == direct.out && r.err == direct.err,
                   r.err + direct.err + "\nnot what the add-in gives for the same settings and menus");
    }

    switch (r.status) {
    case 1:
        FUZZ_CHECK(r.out.empty() && r.err.rfind("error: ", 0) == 0 && EndsWith(r.err, "\n"), r.err);
        return 0;
    case 2:
        FUZZ_CHECK(r.out.empty() && r.err.rfind("pellwyn-markup: ", 0) == 0 && EndsWith(r.err, kTry), r.err);
        return 0;
    case 0: break;
    default: fuzz::Fail("an exit status other than 0, 1 or 2", r.err);
    }
    FUZZ_CHECK(r.err.empty() && EndsWith(r.out, "\n"), r.err);
    if (r.out.rfind("Usage: pellwyn-markup ", 0) == 0) return 0;

    // Every argument was understood: options and their values in pairs.
    std::size_t openings = 0;
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) openings += args[i] == "--open";
    std::vector<std::string_view> lines;
    for (std::string_view out = r.out; !out.empty();) {
        const std::size_t eol = out.find('\n');
        lines.push_back(out.substr(0, eol));
        out.remove_prefix(eol + 1);
    }
    FUZZ_CHECK(lines.size() == 1 + openings, r.out);
    if (!lines[0].empty()) {
        const std::string problem = fuzz::CachedXmlProblem(lines[0], "customUI");
        FUZZ_CHECK(problem.empty(), problem);
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string problem = fuzz::CachedXmlProblem(lines[i], "menu");
        FUZZ_CHECK(problem.empty(), problem);
    }
    return 0;
}
