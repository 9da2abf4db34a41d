// pellwyn-preview: shows the Classic tab as Access would, from the installed add-in. It loads
// the add-in the way Access does (through Access's add-in key and COM, by ProgID), plays
// Access's Application in a context the user picks, asks for the markup, draws the tab with the
// add-in's own getVisible and getContent answers, then changes the context on a schedule and
// reports how the tab followed, and what the add-in cost while nothing changed.
#include "addin_client_win.h"
#include "classic_tab_view.h"
#include "product.h"
#include "refresh_watch_win.h"
#include "stand_in_office_win.h"
#include "win_handles.h"
#include "win_text.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

using namespace pellwyn;

constexpr const char* kUsage =
    R"usage(Usage: pellwyn-preview [--context NAME | --type N [--design] [--datasheet]] [--show-hidden]
                       [--access VERSION | --access-list FILE] [--language LCID]
                       [--watch SECONDS] [--then MS:STATE]... [--width COLUMNS]

Loads the installed add-in as Access does (Access's add-in key, then COM by ProgID), plays
Access in the chosen context and prints the Classic tab as a person would see it there: its
groups, the menu bar with every menu's items (the dynamic ones filled by the add-in), and the
toolbar rows as command names, leaving out what the add-in hides. Then it watches the add-in
keep the tab up to date for a few seconds, redrawing it whenever the add-in invalidates it, and
reports how long the tab took to follow each change and the redraws and host calls while
nothing changed.

  --context NAME   what Access is showing (default table-datasheet):
)usage";

constexpr const char* kUsageTail =
    R"usage(  --type N         instead of a context: the object type Access reports (0 table, 1 query,
                   2 form, 3 report, 4 macro, 5 module, -1 none), with --design and/or
                   --datasheet for the pressed view buttons
  --show-hidden    list hidden elements too, marked "(hidden)"
  --access VERSION the Access played, by the control names it knows: 2007 (every name; the
                   default), or Microsoft's list for 2013, 2016, 2019 or 365 (Current Channel)
  --access-list FILE  the same, from a file with one control name a line
  --language LCID  the language of Access's user interface (1033 English, the default; 1031
                   German, 1036 French, 0x0411 Japanese, ...). Outside English Access shows
                   its own words on its commands (here their names) and ours are translated
  --watch SECONDS  how long to watch the refresh (default 5, or 1 s past the last --then;
                   0: not at all)
  --then MS:STATE  MS milliseconds into the watch, Access shows STATE: a context's name, an
                   object type with the pressed buttons (2+design, 0+datasheet, -1), or
                   "refuse" (CurrentObjectType fails until the next change); repeatable
  --width COLUMNS  where toolbar rows wrap (default 100)

Exit status: 0 shown; 1 the add-in is not installed for Access or failed; 2 usage error.
)usage";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// The add-in's callbacks, called by name as Access calls them, with a ribbon control.
class AddinCallbacks final : public preview::TabCallbacks {
public:
    explicit AddinCallbacks(IDispatch* addin) : addin_(addin) {}

    bool Visible(std::string_view callback) override {
        const auto answer = Ask(callback);
        if (answer->result.vt != VT_BOOL) throw std::runtime_error("not a Boolean");
        return answer->result.boolVal != VARIANT_FALSE;
    }
    std::string Content(std::string_view callback) override {
        const auto answer = Ask(callback);
        if (answer->result.vt != VT_BSTR) throw std::runtime_error("not a text");
        return kestrel::WideToUtf8(answer->Text());
    }

private:
    std::unique_ptr<standin::Answer> Ask(std::string_view callback) {
        auto answer = standin::Call(addin_, kestrel::Utf8ToWide(callback), {standin::Object(&control_)});
        if (FAILED(answer->hr)) throw std::runtime_error(kestrel::WideToUtf8(answer->Failure()));
        return answer;
    }
    IDispatch* addin_;
    standin::StandInControl control_;
};

struct Options {
    preview::Context context = *preview::FindContext("table-datasheet");
    std::string description;
    preview::ViewOptions view;
    std::optional<double> watchSeconds;  // default: 5, or past the last change
    std::vector<preview::ScheduledChange> changes;
    ControlList controls;
    std::string access;  // as --access or --access-list gave it
    std::int32_t language = 1033;
};

Options ParseArguments(int argc, wchar_t** argv) {
    Options o;
    bool byType = false;
    auto value = [&](int& i) -> std::string {
        if (i + 1 >= argc) throw UsageError(kestrel::WideToUtf8(argv[i]) + " needs a value");
        return kestrel::WideToUtf8(argv[++i]);
    };
    auto number = [](const std::string& text, const char* what) {
        try {
            std::size_t used = 0;
            const double n = std::stod(text, &used);
            if (used == text.size()) return n;
        } catch (const std::exception&) {
        }
        throw UsageError(std::string(what) + " expects a number, not \"" + text + "\"");
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = kestrel::WideToUtf8(argv[i]);
        if (arg == "--help" || arg == "-h") {
            throw UsageError("");
        } else if (arg == "--context") {
            const std::string name = value(i);
            const preview::Context* c = preview::FindContext(name);
            if (!c) throw UsageError("unknown context \"" + name + "\"");
            o.context = *c;
        } else if (arg == "--type") {
            const double t = number(value(i), "--type");
            o.context = {"", "", static_cast<std::int32_t>(t), false, false};
            byType = true;
        } else if (arg == "--design") {
            o.context.designView = true;
        } else if (arg == "--datasheet") {
            o.context.datasheetView = true;
        } else if (arg == "--access") {
            o.access = value(i);
            const auto list = ControlList::Published(o.access);
            if (!list) throw UsageError("--access: no list for \"" + o.access + "\" (one of 2007, 2013, 2016, 2019, 365)");
            o.controls = *list;
        } else if (arg == "--access-list") {
            o.access = value(i);
            std::ifstream in(std::filesystem::path(kestrel::Utf8ToWide(o.access)), std::ios::binary);
            std::ostringstream text;
            if (!(in && text << in.rdbuf())) throw UsageError("--access-list: cannot read \"" + o.access + "\"");
            o.controls = ControlList::FromText(text.str());
        } else if (arg == "--language") {
            const std::string lcid = value(i);
            try {
                std::size_t used = 0;
                const long n = std::stol(lcid, &used, 0);
                if (used != lcid.size() || n < 0 || n > 0xFFFFF) throw UsageError("");
                o.language = static_cast<std::int32_t>(n);
            } catch (const std::exception&) {
                throw UsageError("--language expects an LCID (1031 or 0x0407), not \"" + lcid + "\"");
            }
        } else if (arg == "--show-hidden") {
            o.view.showHidden = true;
        } else if (arg == "--watch") {
            o.watchSeconds = number(value(i), "--watch");
            if (*o.watchSeconds < 0 || *o.watchSeconds > 600) throw UsageError("--watch takes 0 to 600 seconds");
        } else if (arg == "--then") {
            try {
                o.changes.push_back(preview::ParseScheduledChange(value(i)));
            } catch (const std::invalid_argument& e) {
                throw UsageError(e.what());
            }
        } else if (arg == "--width") {
            o.view.width = static_cast<int>(number(value(i), "--width"));
        } else {
            throw UsageError("unknown argument \"" + arg + "\"");
        }
    }
    std::stable_sort(o.changes.begin(), o.changes.end(),
                     [](const auto& a, const auto& b) { return a.atMilliseconds < b.atMilliseconds; });
    const double last = o.changes.empty() ? 0 : o.changes.back().atMilliseconds / 1000.0;
    if (!o.watchSeconds) o.watchSeconds = std::max(5.0, o.changes.empty() ? 0 : last + 1);
    if (!o.changes.empty() && last >= *o.watchSeconds)
        throw UsageError("the last --then comes after the watch ends: make --watch longer");
    o.description = byType ? "object type " + std::to_string(o.context.objectType) : std::string(o.context.description);
    o.description += std::string(" (Access reports object type ") + std::to_string(o.context.objectType) +
                     "; Design view " + (o.context.designView ? "pressed" : "not pressed") + ", Datasheet view " +
                     (o.context.datasheetView ? "pressed" : "not pressed") + ")";
    return o;
}

std::wstring ReadText(HKEY root, const std::wstring& path, const wchar_t* name) {
    wchar_t buffer[2048];
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return {};
    return buffer;
}

class ComApartment {
public:
    ComApartment() {
        if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) throw std::runtime_error("COM cannot start");
    }
    ~ComApartment() { CoUninitialize(); }
};

int Show(const Options& o) {
    // Access finds its COM add-ins under its add-in key, the user's (HKCU) or every user's (HKLM,
    // in the registry view of Access's bitness, which is this program's); the user's entry, when
    // there is one, decides. LoadBehavior 3 loads at start-up.
    const std::wstring progId = kestrel::Utf8ToWide(kestrel::kProgId);
    const std::wstring addinKey = kestrel::Utf8ToWide(kestrel::kAddinKey);
    HKEY addinRoot = nullptr;
    DWORD loadBehavior = 0;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        DWORD size = sizeof loadBehavior;
        if (RegGetValueW(root, addinKey.c_str(), L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &loadBehavior, &size) ==
            ERROR_SUCCESS) {
            addinRoot = root;
            break;
        }
    }
    if (!addinRoot) {
        const std::string key = kestrel::WideToUtf8(addinKey);
        Print("The add-in is not installed for Access: there is no HKCU\\" + key + " or HKLM\\" + key +
              " with a LoadBehavior.\nInstall Menuvane, or run Menuvane and press OK.\n");
        return 1;
    }
    if (loadBehavior != 3) {
        Print("Access would not load the add-in at start-up: its LoadBehavior is " + std::to_string(loadBehavior) +
              ", not 3.\nRun Menuvane and press OK to register it again.\n");
        return 1;
    }

    ComApartment com;
    standin::AddinObject addin;
    if (const HRESULT hr = addin.Create(progId.c_str()); FAILED(hr)) {
        wchar_t code[16];
        std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
        Print("Access could not create " + std::string(kestrel::kProgId) + " (" + kestrel::WideToUtf8(code) +
              "): the add-in's COM class is not registered or its DLL does not load.\n");
        return 1;
    }
    CLSID clsid{};
    CLSIDFromProgID(progId.c_str(), &clsid);
    wchar_t clsidText[64];
    StringFromGUID2(clsid, clsidText, 64);
    const std::wstring dll = ReadText(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + clsidText + L"\\InprocServer32", nullptr);
    Print("Add-in \"" + kestrel::WideToUtf8(ReadText(addinRoot, addinKey, L"FriendlyName")) + "\" (" +
          std::string(kestrel::kProgId) + ", LoadBehavior 3) from " + kestrel::WideToUtf8(dll) + "\n");
    Print("Context: " + o.description + "\n");
    if (!o.access.empty())
        Print("Access: " + (o.controls.KnowsEveryName() ? std::string("2007, which knows every control name")
                                                         : "knows the control names of " + o.access) + "\n");
    if (o.language != 1033) {
        char line[160];
        std::snprintf(line, sizeof line, "Access's language: %d (0x%04X): Access labels its own commands in it; listed here by name\n",
                      o.language, static_cast<unsigned>(o.language));
        Print(line);
    }
    Print("\n");

    standin::StandInApplication application;
    application.controls = o.controls;
    application.SetLanguage(o.language);
    application.SetType(o.context.objectType);
    application.design = o.context.designView;
    application.datasheet = o.context.datasheetView;
    if (const HRESULT hr = addin.Connect(&application); FAILED(hr)) {
        Print("The add-in refused the connection.\n");
        return 1;
    }
    SAFEARRAY* custom = nullptr;
    addin.extensibility->OnStartupComplete(&custom);

    standin::StandInRibbon ribbon;
    int status = 0;
    kestrel::Unique<BSTR, &SysFreeString> markup;
    const HRESULT got = addin.ribbonExtensibility->GetCustomUI(kestrel::Unique<BSTR, &SysFreeString>(
                                                                    SysAllocString(L"Microsoft.Access.Database")).get(),
                                                                markup.put());
    if (FAILED(got)) {
        Print("The add-in gave Access no markup: GetCustomUI failed (for instance a setting that is not a number).\n");
        status = 1;
    } else {
        const std::string document = markup ? kestrel::WideToUtf8(markup.get()) : std::string();
        if (!document.empty()) standin::Call(addin.dispatch.get(), L"ribbonLoaded", {standin::Object(&ribbon)});
        AddinCallbacks callbacks(addin.dispatch.get());
        Print(preview::RenderClassicTab(document, callbacks, o.view));

        if (*o.watchSeconds > 0 && !document.empty())
            Print("\n" + preview::FormatRefresh(preview::WatchRefresh(document, callbacks, application, ribbon,
                                                                      o.changes, *o.watchSeconds)));
    }
    addin.extensibility->OnBeginShutdown(&custom);
    addin.Disconnect();
    addin.Release();
    return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // UTF-8 as it is: no LF to CR LF
    try {
        return Show(ParseArguments(argc, argv));
    } catch (const UsageError& e) {
        if (*e.what()) {
            std::fprintf(stderr, "pellwyn-preview: %s\nTry 'pellwyn-preview --help'.\n", e.what());
            return 2;
        }
        Print(kUsage);
        for (const preview::Context& c : preview::Contexts())
            Print("                     " + std::string(c.name) + std::string(18 - c.name.size(), ' ') +
                  std::string(c.description) + "\n");
        Print(kUsageTail);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pellwyn-preview: %s\n", e.what());
        return 1;
    }
}
