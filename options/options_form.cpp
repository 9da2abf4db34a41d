#include "options_form.h"

#include "disabled_items.h"
#include "error.h"
#include "number_text.h"
#include "office_policy.h"
#include "product.h"

#include <array>
#include <optional>
#include <utility>

namespace menuvane {
namespace {

// Basic's error 380, as a check box reports a value it cannot hold.
constexpr std::int32_t kInvalidPropertyValue = static_cast<std::int32_t>(0x800A017CU);

// Defaults when the window reads a setting; box 11 is never read.
int WindowDefault(int box) { return box == kClassicBox || box == kLeftBox || box == kAllBox ? 1 : 0; }

// The hourglass while a step runs, the ordinary pointer again afterwards, even when it throws.
class Hourglass {
public:
    explicit Hourglass(FormWindow& window) : window_(window) { window_.SetPointer(kestrel::PointerKind::Hourglass); }
    ~Hourglass() {
        try {
            window_.SetPointer(kestrel::PointerKind::Default);
        } catch (...) {
        }
    }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

private:
    FormWindow& window_;
};

// One numbered step of the form, reported in its language.
template <class Body>
void Step(Form& form, std::string_view location, int step, Body&& body) {
    kestrel::RunStep(form.language, form.report, location, step, std::forward<Body>(body));
}

void StoreAndRegister(Form& form, const Boxes& boxes) {
    for (const BoxSetting& s : kBoxSettings)
        if (!boxes.Locked(s.box))  // what a policy decides is not the user's to store
            Step(form, kClickLocation, SettingStep(s.box),
                             [&] { form.settings.Put(s.key.name, std::to_string(boxes[s.box])); });
    // Step 116: a grayed box 0 is not clear, so it registers.
    const bool on = boxes[kClassicBox] != kClear;
    Step(form, kClickLocation, on ? 118 : 120, [&] {
        Hourglass busy(form.window);
        if (on)
            RegisterAddIn(form.addin, form.folder);
        else
            UnregisterAddIn(form.addin, form.folder);
    });
    if (on) {
        // 119: Office's record of a crash with the add-in loaded would keep it off all the same;
        // 121: say so when an administrator's policy will.
        Step(form, kClickLocation, 119, [&] { ReenableAddIn(form.addin, form.language); });
        Step(form, kClickLocation, 121, [&] {
            const std::string notice = PolicyNotice(form.addin, AddinPath(form.folder), form.language);
            if (!notice.empty()) form.window.ShowMessage(kestrel::kProductPhrase, notice);
        });
    }
    Step(form, kClickLocation, 122, [&] { form.window.ShellOpen(kAccessShellName); });
    Step(form, kClickLocation, 124, [&] { form.window.Close(); });
}

}  // namespace

int SettingStep(int box) {
    switch (box) {
    case kClassicBox: return 104;
    case kLeftBox: return 106;
    case kAllBox: return 108;
    default: return 114;
    }
}

std::string HelpText(const kestrel::Language& language) {
    return kestrel::FormatText(language(kestrel::Text("options", "Questions? Please contact Team Kestrelby at {1}")),
                               {kestrel::kContactPage});
}

int ReadBoxState(kestrel::SettingsStore& settings, const kestrel::SettingKey& key, int missing) {
    const std::optional<std::string> stored = settings.Get(key.name);
    const kestrel::Int16Result r = kestrel::TextToInt16(stored ? *stored : std::to_string(missing));
    if (r.status == kestrel::Conversion::NotANumber) throw kestrel::Error(kestrel::kTypeMismatch, "Type mismatch");
    if (r.status == kestrel::Conversion::OutOfRange) throw kestrel::Error(kestrel::kOverflow, "Overflow");
    if (r.value != kClear && r.value != kChecked && r.value != kGrayed)
        throw kestrel::Error(kInvalidPropertyValue, "Invalid property value");
    return r.value;
}

void FormInitialize(Form& form, Boxes& boxes) {
    Step(form, kInitializeLocation, 100, [&] { form.window.ApplySkin(); });
    Step(form, kInitializeLocation, 102, [&] {
        form.window.SetCaption(kestrel::kProductPhrase);
        form.window.SetIcon();
    });
    // The boxes that policies decide are locked first, so that no rule run while the others
    // fill can change them. A value that cannot be read leaves its box as it was.
    std::array<std::optional<int>, 12> read{};
    for (const BoxSetting& s : kBoxSettings)
        Step(form, kInitializeLocation, SettingStep(s.box), [&] {
            if (const std::optional<int> decided = form.settings.Policy(s.key.name))
                boxes.Lock(s.box, *decided);
            else if (s.box != kHideTabsBox)  // its state comes from the tab boxes' rules
                read[static_cast<std::size_t>(s.box)] = ReadBoxState(form.settings, s.key, WindowDefault(s.box));
        });
    for (const BoxSetting& s : kBoxSettings)
        if (const std::optional<int> state = read[static_cast<std::size_t>(s.box)]) boxes.Set(s.box, *state);
}

void FormLoad(Form& form) {
    Step(form, kLoadLocation, 100, [&] { form.window.SetCaption(kestrel::kProductPhrase); });
    Step(form, kLoadLocation, 104, [&] { form.window.Centre(); });
    Step(form, kLoadLocation, 108, [&] { form.window.LoadPointer(); });
}

void PushButtonClick(Form& form, const Boxes& boxes, int index) {
    switch (index) {
    case kHelpButton:
        Step(form, kClickLocation, 102,
                         [&] { form.window.ShowMessage(kestrel::kProductPhrase, HelpText(form.language)); });
        break;
    case kOkButton: StoreAndRegister(form, boxes); break;
    case kCancelButton: Step(form, kClickLocation, 126, [&] { form.window.Close(); }); break;
    default: break;
    }
}

}  // namespace menuvane
