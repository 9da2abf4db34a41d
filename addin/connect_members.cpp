#include "connect_members.h"

#include "callbacks.h"
#include "settings_store.h"
#include "visibility.h"

namespace pellwyn {
namespace {

constexpr ConnectMember Visible(std::string_view name, bool (*rule)(Host&)) {
    return {name, Action::Visible, Argument::Object, rule};
}
constexpr ConnectMember Content(std::string_view name, DynamicMenu menu) {
    return {name, Action::Content, Argument::Object, nullptr, menu};
}

// In this order: callers that have kept a DISPID rely on it.
constexpr ConnectMember kMembers[] = {
    {"oRibbon", Action::RibbonProperty},
    {kOnLoad, Action::RibbonLoaded, Argument::Object},
    {"IRibbonExtensibility_GetCustomUI", Action::GetCustomUi, Argument::Text},
    {"InvalidateRibbon", Action::InvalidateRibbon},
    {"GetRibbonXML", Action::GetRibbonXml},
    Visible(kFormOrReport, &VisibleFormOrReport),
    Visible(kTable0, &VisibleTable0),
    Visible(kQuery0, &VisibleQuery0),
    Visible(kText, &VisibleText),
    Visible(kDatasheet, &VisibleDatasheet),
    {kShowAbout, Action::ShowAbout, Argument::Object},
    {kUninstall, Action::Uninstall, Argument::Object},
    {"Document0", Action::Document, Argument::Object},
    Content("OnGetContentEdit", DynamicMenu::Edit),
    Visible("OnGetVisibleEdit", &VisibleEdit),
    Content("OnGetContentView", DynamicMenu::View),
    Visible("OnGetVisibleView", &VisibleView),
    Content("OnGetContentInsert", DynamicMenu::Insert),
    Visible("OnGetVisibleInsert", &VisibleInsert),
    Content("OnGetContentFormat", DynamicMenu::Format),
    Visible("OnGetVisibleFormat", &VisibleFormat),
    Content("OnGetContentQuery", DynamicMenu::Query),
    Visible("OnGetVisibleQuery", &VisibleQuery),
    Content("OnGetContentRecords", DynamicMenu::Records),
    Visible("OnGetVisibleRecords", &VisibleRecords),
};

}  // namespace

Result ConnectMember::result() const noexcept {
    switch (action) {
    case Action::RibbonProperty: return Result::Object;
    case Action::Visible: return Result::Boolean;
    case Action::GetCustomUi:
    case Action::GetRibbonXml:
    case Action::Content: return Result::Text;
    default: return Result::None;
    }
}

std::span<const ConnectMember> ConnectMembers() { return kMembers; }

std::optional<DispatchId> FindConnectMember(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kMembers); ++i)
        if (kestrel::EqualsIgnoreCase(kMembers[i].name, name)) return static_cast<DispatchId>(i + 1);
    return std::nullopt;
}

const ConnectMember* ConnectMemberById(DispatchId id) {
    if (id < 1 || static_cast<std::size_t>(id) > std::size(kMembers)) return nullptr;
    return &kMembers[id - 1];
}

}  // namespace pellwyn
