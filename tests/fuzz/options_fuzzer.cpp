// The options window for any stored values, then any clicks, then OK. Each box is filled as
// the reference reading says, an unreadable value is reported once with its step and leaves
// the box alone; the click rules keep their promises; OK stores exactly the eight states, in
// order, then registers or unregisters, starts Access and closes.
//
// Input: one byte saying which of the eight settings are stored (bit i: kBoxSettings[i]), their
// values one per line in that order (a text, or "#", a type byte and the raw bytes of a
// registry value of any type), then one byte per click.
#include "fuzz_support.h"
#include "options_form.h"

namespace {

using namespace menuvane;

struct Recorder final : kestrel::SettingsStore, AddinSystem, FormWindow {
    fuzz::FuzzSettings stored;
    std::vector<std::string> log;

    std::optional<std::string> Get(std::string_view name) override { return stored.Get(name); }
    void Put(std::string_view name, std::string_view text) override {
        log.push_back("put " + std::string(name) + "=" + std::string(text));
    }
    ProcessResult RunRegsvr32(std::string_view arguments, unsigned) override {
        log.push_back("regsvr32 " + std::string(arguments));
        return {};
    }
    bool CreateKey(std::string_view) override { return true; }
    bool DeleteSubkey(std::string_view, std::string_view) override { return true; }
    std::vector<std::string> Subkeys(Hive, std::string_view) override { return {}; }  // no Office
    std::vector<RegistryValue> Values(Hive, std::string_view) override { return {}; }
    void DeleteValue(std::string_view, const std::u16string&) override {}
    Signature VerifySignature(std::string_view) override { return Signature::Missing; }
    void ApplySkin() override {}
    void SetCaption(std::string_view) override {}
    void SetIcon() override {}
    void Centre() override {}
    void LoadPointer() override {}
    void SetPointer(kestrel::PointerKind) override {}
    void ShowMessage(std::string_view, std::string_view) override {}
    void ShellOpen(std::string_view target) override { log.push_back("shell " + std::string(target)); }
    void Close() override { log.push_back("close"); }
};

constexpr int kClickable[] = {kClassicBox, kLeftBox, kAllBox, kHomeBox, kCreateBox, kExternalDataBox,
                              kDatabaseToolsBox, kHideTabsBox};

std::string Shown(const Boxes& b) {
    std::string s;
    for (const BoxSetting& setting : kBoxSettings) s += static_cast<char>('0' + b[setting.box]);
    return s;
}

// What the rules promise while no box is grayed: Left and a hidden Home exclude each other,
// any checked box has the add-in on, and Create, External Data or Database Tools checked has
// "Hide built-in tabs" checked.
void CheckRules(const Boxes& b) {
    bool anyChecked = false;
    for (const BoxSetting& s : kBoxSettings) anyChecked |= b[s.box] == kChecked;
    FUZZ_CHECK(!(b[kLeftBox] == kChecked && b[kHomeBox] == kChecked), Shown(b));
    FUZZ_CHECK(!anyChecked || b[kClassicBox] == kChecked, Shown(b));
    const bool hidesOneOfThree =
        b[kCreateBox] == kChecked || b[kExternalDataBox] == kChecked || b[kDatabaseToolsBox] == kChecked;
    FUZZ_CHECK(!hidesOneOfThree || b[kHideTabsBox] == kChecked, Shown(b));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    Recorder w;
    for (std::size_t i = 0; i < kBoxSettings.size(); ++i) {
        if (!(data[0] & (1u << i))) continue;
        const std::size_t eol = rest.find('\n');
        fuzz::StoreLine(w.stored, rest.substr(0, eol), kBoxSettings[i].key.name);
        rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
    }

    // What the window must show, from the reference reading: a stored value that is no text,
    // no number, does not fit 16 bits or is not a state is reported and leaves the box alone.
    Boxes expected;
    std::vector<std::string> expectedReports;
    bool grayed = false;
    for (const BoxSetting& s : kBoxSettings) {
        if (s.box == kHideTabsBox) continue;  // never read
        std::optional<std::string> text;
        try {
            text = fuzz::ReferenceText(w.stored, s.key.name);
        } catch (const fuzz::Unreadable&) {
            expectedReports.push_back(kestrel::ErrorReportText(
                "setting \"" + std::string(s.key.name) + "\": the stored value is not text", kInitializeLocation,
                SettingStep(s.box)));
            continue;
        }
        std::int64_t state = s.box == kClassicBox || s.box == kLeftBox || s.box == kAllBox ? 1 : 0;
        if (text) {
            const fuzz::RefInt r = fuzz::ReferenceInt(*text, INT16_MIN, INT16_MAX);
            const char* problem = r.status == fuzz::RefStatus::NotANumber   ? "Type mismatch"
                                  : r.status == fuzz::RefStatus::OutOfRange ? "Overflow"
                                  : r.value < 0 || r.value > 2              ? "Invalid property value"
                                                                            : nullptr;
            if (problem) {
                expectedReports.push_back(kestrel::ErrorReportText(problem, kInitializeLocation, SettingStep(s.box)));
                continue;
            }
            state = r.value;
        }
        grayed |= state == kGrayed;
        expected.Set(s.box, static_cast<int>(state));
    }

    std::vector<std::string> reports;
    Form form{w, w, w, [&](const std::string& text) { reports.push_back(text); }, "C:\\Menuvane"};
    Boxes boxes;
    FormInitialize(form, boxes);
    FUZZ_CHECK(boxes == expected, Shown(boxes) + " instead of " + Shown(expected));
    FUZZ_CHECK(reports == expectedReports, reports.empty() ? "no report" : reports.front());
    if (!grayed) CheckRules(boxes);

    for (const char c : rest) {
        boxes.Click(kClickable[static_cast<unsigned char>(c) % std::size(kClickable)]);
        if (!grayed) CheckRules(boxes);
    }

    reports.clear();
    PushButtonClick(form, boxes, kOkButton);
    FUZZ_CHECK(reports.empty(), reports.front());
    std::vector<std::string> expectedLog;
    for (const BoxSetting& s : kBoxSettings)
        expectedLog.push_back("put " + std::string(s.key.name) + "=" + std::to_string(boxes[s.box]));
    expectedLog.push_back(std::string("regsvr32 ") + (boxes[kClassicBox] == kClear ? "/u /s " : "/s ") +
                          "\"C:\\Menuvane\\Pellwyn.dll\"");
    expectedLog.insert(expectedLog.end(), {"shell MSACCESS", "close"});
    FUZZ_CHECK(w.log == expectedLog, w.log.empty() ? "nothing done" : w.log.front());
    return 0;
}
