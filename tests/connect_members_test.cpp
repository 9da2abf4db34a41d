// The dispatch names of Connect against the names the markup hands to Access: every callback
// the document or a menu names must be a member of the right kind, found by that name.
#include "commands.h"
#include "connect_members.h"
#include "dynamic_menus.h"
#include "fakes.h"
#include "ribbon.h"
#include "xml_scan.h"

#include <gtest/gtest.h>

#include <set>

namespace pellwyn {
namespace {

using testing::FakeHost;
using testing::RecordingSettings;

// Every callback name the add-in writes into markup, with the attribute that names it.
std::set<std::pair<std::string, std::string>> CallbacksNamed(std::string_view xml) {
    std::set<std::pair<std::string, std::string>> names;
    for (const testing::Tag& tag : testing::ScanTags(xml))
        for (const char* attribute : {"onLoad", "getVisible", "getContent", "onAction"})
            if (tag.Has(attribute)) names.insert({attribute, tag.Attr(attribute)});
    return names;
}

TEST(ConnectMembers, AnswerToEveryCallbackTheMarkupNames) {
    std::set<std::pair<std::string, std::string>> named;
    for (const char* all : {"1", "0"}) {
        RecordingSettings settings;
        settings.Put("All", all);
        FakeHost host;
        Markup markup;
        named.merge(CallbacksNamed(GetRibbonXml(markup, host, settings)));
        for (DynamicMenu menu : kDynamicMenus)
            for (std::int32_t type = -1; type <= 7; ++type) {
                host.objectType = type;
                named.merge(CallbacksNamed(GetContent(markup, host, menu)));
            }
    }
    ASSERT_GE(named.size(), 15u);
    for (const auto& [attribute, name] : named) {
        SCOPED_TRACE(attribute + "=" + name);
        const std::optional<DispatchId> id = FindConnectMember(name);
        ASSERT_TRUE(id);
        const ConnectMember* member = ConnectMemberById(*id);
        ASSERT_NE(member, nullptr);
        EXPECT_EQ(member->name, name) << "the markup and the table spell it alike";
        const Result expected = attribute == "getVisible"   ? Result::Boolean
                                : attribute == "getContent" ? Result::Text
                                                            : Result::None;
        EXPECT_EQ(member->result(), expected);
        EXPECT_EQ(member->argument, Argument::Object) << "the control, or for onLoad the ribbon";
        EXPECT_EQ(member->action == Action::RibbonLoaded, attribute == "onLoad");
    }
}

TEST(ConnectMembers, IdsAreTablePositionsAndUnknownNamesAreNotFound) {
    const auto members = ConnectMembers();
    ASSERT_EQ(members.size(), 25u);
    for (std::size_t i = 0; i < members.size(); ++i)
        EXPECT_EQ(ConnectMemberById(*FindConnectMember(members[i].name)), &members[i]);
    EXPECT_EQ(FindConnectMember("RIBBONLOADED"), 2);
    for (std::string_view unknown : {"", "OnGetVisible", "OnGetContentTools", "ShowAbout", "ribbonLoaded "})
        EXPECT_FALSE(FindConnectMember(unknown)) << unknown;
    EXPECT_EQ(ConnectMemberById(0), nullptr);
    EXPECT_EQ(ConnectMemberById(26), nullptr);
}

TEST(Commands, TheUninstallTextSendsTheUserToTheStartMenu) {
    const std::string text = UninstallText();
    EXPECT_EQ(text, "To uninstall, close Access and then go to\r\rStart > Program Files > Menuvane > Uninstall Menuvane");
    EXPECT_EQ(text.find('\n'), std::string::npos);
}

// In Access's language: Hong Kong's Chinese is Taiwan's; any English, and a language we do not
// ship (Greek), keep the English text.
TEST(Commands, TheUninstallTextSpeaksAccesssLanguage) {
    const std::string english =
        "To uninstall, close Access and then go to\r\rStart > Program Files > Menuvane > Uninstall Menuvane";
    struct Case {
        std::uint16_t langId;
        std::string text;
    };
    const Case cases[] = {
        {0x0809, english},
        {0x0436, english},  // Afrikaans: not shipped
        {0x0407, "Schließen Sie zum Deinstallieren Access, und wählen Sie dann\r\rStart > Alle Programme > Menuvane > "
                 "Uninstall Menuvane"},
        {0x0C04, "若要解除安裝，請關閉 Access，然後移至\r\r開始 > 所有程式 > Menuvane > Uninstall Menuvane"},
    };
    for (const Case& c : cases) EXPECT_EQ(UninstallText(kestrel::Language::FromLangId(c.langId)), c.text) << c.langId;
}

TEST(Commands, TheDocumentMapToggleReadsThenWritesTheOpposite) {
    FakeHost host;
    ToggleDocumentMap(host);
    ToggleDocumentMap(host);
    ToggleDocumentMap(host);
    EXPECT_EQ(host.queries, (std::vector<std::string>{"documentMap", "documentMap=1", "documentMap", "documentMap=0",
                                                      "documentMap", "documentMap=1"}));

    FakeHost refusing;
    refusing.failAtQuery = 1;
    EXPECT_THROW(ToggleDocumentMap(refusing), kestrel::Error);
    EXPECT_EQ(refusing.queries, std::vector<std::string>{"documentMap"}) << "nothing written after a failed read";

    struct AccessLike final : Host {  // Access's Application: no ActiveWindow
        std::string Name() override { return "Microsoft Office Access"; }
        std::int32_t CurrentObjectType() override { return -1; }
        bool IsPressed(std::string_view) override { return false; }
    } access;
    try {
        ToggleDocumentMap(access);
        ADD_FAILURE() << "Access has no document map";
    } catch (const kestrel::Error& e) {
        EXPECT_EQ(e.code(), kNoSuchMember);
    }
}

}  // namespace
}  // namespace pellwyn
