#include "markup_cli.h"

#include "control_list.h"
#include "dynamic_menus.h"
#include "error.h"
#include "host.h"
#include "markup.h"
#include "ribbon.h"
#include "settings_store.h"

#include <charconv>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kUsage =
    R"(Usage: pellwyn-markup [--setting NAME=VALUE]... [--host-name TEXT]
                      [--access VERSION | --access-list FILE] [--language LCID]
                      [--open MENU:TYPE]...

Prints the customUI document that the add-in hands to Access, built from the given settings,
then the content of each dynamic menu opened with --open.

  --setting NAME=VALUE  a stored setting, as the text the registry would hold (split at the
                        first '='). Names are compared without regard to case; a later one
                        replaces an earlier one. A setting not given is missing, so the
                        add-in's default applies: Classic 1, Left 1, All 1,
                        Hide built-in Tabs 0, Home/Create/External Data/Database Tools 0.
  --host-name TEXT      the host's Application.Name (default "Microsoft Office Access").
                        A name without "Access" (in exactly that case) gets no document.
  --access VERSION      the Access that answers which control names it knows: 2007 (every
                        name; the default), or Microsoft's list for 2013, 2016, 2019 or 365
                        (Current Channel). The add-in writes only names that Access knows.
  --access-list FILE    the same, from a file with one control name a line.
  --language LCID       the language of Access's user interface, as Windows numbers it
                        (1033 English, the default; 1031 German, 1036 French, 2052
                        Simplified Chinese, ...; decimal, or hexadecimal with 0x). Outside
                        English, Access's own controls go without our labels and the tab's
                        own texts are translated. "none": Access cannot tell (English).
  --open MENU:TYPE      after the document, run MENU's getContent callback with the host
                        reporting object type TYPE (an integer: 0 table, 1 query, 2 form,
                        3 report, 4 macro, 5 module, anything else none of these). MENU is
                        one of Edit, View, Insert, Format, Query, Records. Repeatable; the
                        menus are opened in the order given, on the same id counters.
  --help                this text.

Output (UTF-8): the document on line 1 (an empty line when the add-in supplies none), then one
line per --open with that menu's fragment. Every line ends with LF; nothing else is printed.

Exit status: 0 on success; 1 when the add-in would fail (a setting that is not a number or
does not fit, an id counter overflow): nothing on stdout, "error: " and the reason on stderr;
2 for a usage error.
)";

// The host as the tool plays it: a fixed name and, while a menu opens, the object type asked for.
class ToolHost final : public pellwyn::Host {
public:
    std::string name = "Microsoft Office Access";
    std::int32_t objectType = -1;
    pellwyn::ControlList controls;
    std::optional<std::int32_t> language = 1033;

    std::string Name() override { return name; }
    std::int32_t CurrentObjectType() override { return objectType; }
    bool IsPressed(std::string_view) override { return false; }
    std::optional<bool> KnowsControl(std::string_view idMso) override { return controls.Knows(idMso); }
    std::optional<std::int32_t> LanguageId() override { return language; }
};

struct Opening {
    pellwyn::DynamicMenu menu;
    std::int32_t objectType;
};

struct UsageError {
    std::string message;
};

bool ParseInt32(std::string_view text, std::int32_t& out) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin != end && *begin == '-') return false;  // "+-1" has two signs
    }
    const auto [ptr, ec] = std::from_chars(begin, end, out);
    return ec == std::errc{} && ptr == end && begin != end;
}

Opening ParseOpening(std::string_view arg) {
    const std::size_t colon = arg.find(':');
    if (colon == std::string_view::npos) throw UsageError{"--open expects MENU:TYPE, got \"" + std::string(arg) + "\""};
    const auto menu = pellwyn::FindDynamicMenu(arg.substr(0, colon));
    if (!menu)
        throw UsageError{"--open: unknown menu \"" + std::string(arg.substr(0, colon)) +
                         "\" (one of Edit, View, Insert, Format, Query, Records)"};
    std::int32_t type = 0;
    if (!ParseInt32(arg.substr(colon + 1), type))
        throw UsageError{"--open: the object type \"" + std::string(arg.substr(colon + 1)) +
                         "\" is not a 32-bit integer"};
    return {*menu, type};
}

// The document and the menus' fragments, or the usage text.
std::string Run(std::span<const std::string_view> args) {
    kestrel::MemorySettings settings;
    ToolHost host;
    std::vector<Opening> openings;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        auto value = [&]() -> std::string_view {
            if (i + 1 >= args.size()) throw UsageError{std::string(arg) + " needs a value"};
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            return std::string(kUsage);
        } else if (arg == "--setting") {
            const std::string_view s = value();
            const std::size_t eq = s.find('=');
            if (eq == std::string_view::npos || eq == 0)
                throw UsageError{"--setting expects NAME=VALUE, got \"" + std::string(s) + "\""};
            settings.Put(s.substr(0, eq), s.substr(eq + 1));
        } else if (arg == "--host-name") {
            host.name = value();
        } else if (arg == "--access") {
            const std::string_view version = value();
            const auto list = pellwyn::ControlList::Published(version);
            if (!list)
                throw UsageError{"--access: no list for \"" + std::string(version) + "\" (one of 2007, 2013, 2016, 2019, 365)"};
            host.controls = *list;
        } else if (arg == "--access-list") {
            const std::string path(value());
            std::ifstream in(path, std::ios::binary);
            std::ostringstream text;
            if (!(in && text << in.rdbuf())) throw UsageError{"--access-list: cannot read \"" + path + "\""};
            host.controls = pellwyn::ControlList::FromText(text.str());
        } else if (arg == "--language") {
            const std::string_view lcid = value();
            std::int32_t n = 0;
            const bool hex = lcid.size() > 2 && (lcid.substr(0, 2) == "0x" || lcid.substr(0, 2) == "0X");
            const std::string_view digits = hex ? lcid.substr(2) : lcid;
            const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n, hex ? 16 : 10);
            if (lcid == "none")
                host.language.reset();
            else if (ec == std::errc{} && ptr == digits.data() + digits.size() && !digits.empty() && n >= 0)
                host.language = n;
            else
                throw UsageError{"--language: \"" + std::string(lcid) + "\" is not an LCID (1031, 0x0407 or none)"};
        } else if (arg == "--open") {
            openings.push_back(ParseOpening(value()));
        } else {
            throw UsageError{"unknown argument \"" + std::string(arg) + "\""};
        }
    }

    // Everything is built before anything is printed, so a failure prints nothing on stdout.
    pellwyn::Markup markup;
    std::string out(pellwyn::GetRibbonXml(markup, host, settings));
    out += '\n';
    for (const Opening& o : openings) {
        host.objectType = o.objectType;
        out += pellwyn::GetContent(markup, host, o.menu);
        out += '\n';
    }
    return out;
}

}  // namespace

namespace pellwyn {

CliResult RunMarkupCli(std::span<const std::string_view> args) noexcept {
    try {
        return {0, Run(args), {}};
    } catch (const UsageError& e) {
        return {2, {}, "pellwyn-markup: " + e.message + "\nTry 'pellwyn-markup --help'.\n"};
    } catch (const std::exception& e) {  // kestrel::Error among them
        return {1, {}, "error: " + std::string(e.what()) + "\n"};
    }
}

}  // namespace pellwyn
