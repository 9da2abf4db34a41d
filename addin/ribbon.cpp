#include "ribbon.h"

#include "callbacks.h"
#include "number_text.h"
#include "rows.h"
#include "settings_keys.h"

#include "error.h"

#include <optional>
#include <string>

namespace pellwyn {
namespace {

using kestrel::SettingKey;

constexpr kestrel::TextId kClassicKeyTip = KeyTipText({}, "Classic"), kAllKeyTip = KeyTipText({}, "All");

// The built-in tabs that the settings can hide, in the order they are read.
struct BuiltInTab {
    const SettingKey& setting;
    std::string_view idMso;
};
constexpr BuiltInTab kBuiltInTabs[] = {
    {kestrel::kHome, "TabHomeAccess"},
    {kestrel::kCreate, "TabCreate"},
    {kestrel::kExternalData, "TabExternalData"},
    {kestrel::kDatabaseTools, "TabDatabaseTools"},
};

// The four tab settings summed as numbers, the running sum rounded to a whole number (halves
// to even) after each addition: "0.5" four times sums to 0, "2", "1", "1", "0" to 4.
std::int32_t SumOfTabSettings(kestrel::SettingsStore& settings) {
    std::int32_t sum = 0;
    for (const BuiltInTab& tab : kBuiltInTabs) {
        const std::optional<std::int32_t> next = kestrel::RoundToInt32(sum + kestrel::ReadDouble(settings, tab.setting));
        if (!next)
            throw kestrel::Error(kestrel::kOverflow, "setting \"" + std::string(tab.setting.name) +
                                                         "\": the sum of the tab settings is out of range");
        sum = *next;
    }
    return sum;
}

void OpenRibbonAndTabs(Markup& m, kestrel::SettingsStore& settings) {
    if (kestrel::ReadInt32(settings, kestrel::kHideBuiltInTabs) != 1) {
        m.Append("<ribbon><tabs>");
        return;
    }
    constexpr std::int32_t kAllTabs = static_cast<std::int32_t>(std::size(kBuiltInTabs));
    if (SumOfTabSettings(settings) == kAllTabs) {
        // All four hidden: the Classic tab replaces the whole ribbon.
        m.Append("<ribbon startFromScratch=\"true\"><tabs>");
        return;
    }
    m.Append("<ribbon><tabs>");
    for (const BuiltInTab& tab : kBuiltInTabs) {  // each setting read a second time
        if (kestrel::ReadDouble(settings, tab.setting) != 1.0) continue;
        m.Append("<tab idMso=\"");
        m.Append(tab.idMso);
        m.Append("\" visible=\"false\"/>");
    }
}

}  // namespace

std::string_view GetRibbonXml(Markup& m, Host& host, kestrel::SettingsStore& settings) {
    m.counters = {};
    const bool access = host.Name().find("Access") != std::string::npos;
    m.counters = {};  // again: a host that called a menu back while it answered moved them
    if (!access) return {};
    if (kestrel::ReadInt32(settings, kestrel::kClassic) == 0) return {};
    m.names.Learn(host);
    m.language.Learn(host);
    m.counters = {};  // and again after those questions

    m.xml.clear();
    m.Append("<customUI xmlns=\"");
    m.Append(kCustomUiNamespace);
    m.Append("\" onLoad=\"");
    m.Append(kOnLoad);
    m.Append("\">");
    OpenRibbonAndTabs(m, settings);

    m.Append("<tab id=\"Menus\" label=\"");
    m.Append(m.language.Own(kestrel::Text("ribbon", "Classic")));
    // A KeyTip that none of Access's own tabs has in this language (po-compile checks it); none
    // where Office gives KeyTips itself.
    if (const std::string_view keytip = m.language.Own(kClassicKeyTip); !keytip.empty()) {
        m.Append("\" keytip=\"");
        m.Append(keytip);
    }
    if (kestrel::ReadInt32(settings, kestrel::kLeft) == 1)
        m.Append("\" insertBeforeMso=\"TabHomeAccess\">");
    else
        m.Append("\">");

    m.Append("<group id=\"ToolsPanel\" label=\"");
    m.Append(m.language.Own(kestrel::Text("ribbon", "Tools panel")));
    m.Append("\"><box id=\"boxNew1\" boxStyle=\"horizontal\">");
    if (kestrel::ReadInt32(settings, kestrel::kAll) == 1) {
        m.OpenMenu(m.language.Own(kestrel::Text("ribbon", "All")), {}, {}, {}, m.language.Own(kAllKeyTip));
        AppendMenuBar(m, kBarInAllMenu);
        m.CloseMenu(true);  // bar mode is 2 now: no spacer from here
        m.AppendSpacer("  ", {});
    }
    AppendMenuBar(m, kBarOnTab);
    m.Append("</box>");
    AppendStandardRow(m);
    AppendFormattingRow(m);
    m.Append("</group >");  // the blank before '>' is part of the format

    m.Append("<group id=\"Controls0\" label=\"");
    m.Append(m.language.Own(kestrel::Text("ribbon", "Controls")));
    m.Append("\" getVisible=\"");
    m.Append(kFormOrReport);
    m.Append("\">");
    AppendControlsRow1(m);
    AppendControlsRow2(m);
    AppendControlsRow3(m);
    m.Append("</group ></tab></tabs></ribbon></customUI>");
    return m.xml;
}

}  // namespace pellwyn
