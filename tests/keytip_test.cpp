// The KeyTips of the Classic tab, the menu bar's menus and our own submenus and buttons, in the
// document and in the dynamic menus' fragments: English's follow the classic menus' access keys;
// every language's come from its translation, each unique in its menu, and none where Office
// gives its own. Nothing else in the markup changes for them.
#include "dynamic_menus.h"
#include "fakes.h"
#include "text_case.h"
#include "ribbon.h"
#include "xml_scan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace pellwyn {
namespace {

using testing::FakeHost;
using testing::KeyTipPaths;
using testing::ScanTags;
using testing::Tag;
using testing::Decode;
using testing::Fold;
using testing::IsLower;

// The translations' text for the KeyTip at each path the template has one for.
const std::map<std::string, kestrel::TextId>& KeyTipEntries() {
    static const std::map<std::string, kestrel::TextId> entries = [] {
        std::map<std::string, kestrel::TextId> m;
        for (std::size_t i = 0; i < kestrel::kTextCount; ++i)
            if (kestrel::kTextKeys[i].context.starts_with("keytip."))
                m.emplace(kestrel::kTextKeys[i].context.substr(7), static_cast<kestrel::TextId>(i));
        return m;
    }();
    return entries;
}
std::optional<kestrel::TextId> KeyTipEntry(const std::string& path) {
    const auto it = KeyTipEntries().find(path);
    return it == KeyTipEntries().end() ? std::nullopt : std::optional(it->second);
}

// The documents with and without the "All" menu, then every dynamic menu for every object type
// after each, as an Access with that LCID gets them.
std::vector<std::string> Markups(std::optional<std::int32_t> lcid) {
    std::vector<std::string> out;
    for (const char* all : {"1", "0"}) {
        FakeHost host;
        host.language = lcid;
        testing::RecordingSettings settings;
        settings.Put("All", all);
        Markup m;
        out.emplace_back(GetRibbonXml(m, host, settings));
        for (DynamicMenu menu : kDynamicMenus)
            for (std::int32_t type = -1; type <= 6; ++type) {
                host.objectType = type;
                out.emplace_back(GetContent(m, host, menu));
            }
    }
    return out;
}

// The English markups read once: their tags and each tag's KeyTip path.
struct English {
    std::vector<std::vector<Tag>> tags;
    std::vector<std::vector<std::string>> paths;
};
const English& EnglishMarkups() {
    static const English english = [] {
        English e;
        const std::vector<std::string> markups = Markups(std::nullopt);
        for (std::size_t i = 0; i < markups.size(); ++i) {
            const std::size_t inBlock = i % (1 + std::size(kDynamicMenus) * 8);  // document, then 8 types per menu
            const std::string root = inBlock == 0 ? "" : std::string(Label(kDynamicMenus[(inBlock - 1) / 8]));
            e.tags.push_back(ScanTags(markups[i]));
            e.paths.push_back(KeyTipPaths(e.tags.back(), root));
        }
        return e;
    }();
    return english;
}

// Each KeyTip of our menus in English, by its path: the classic menus' access keys.
const std::map<std::string, std::string> kEnglishKeyTips = {
    // None of Access's tabs has L: File F, Home H, Create C, External Data X, Database Tools Y (A in
    // Access 2007), the contextual tabs J...
    {"Classic", "L"},
    {"All", "A"}, {"File", "F"}, {"Edit", "E"}, {"View", "V"}, {"Insert", "I"}, {"Format", "O"},
    {"Query", "Q"}, {"Records", "R"}, {"Tools", "T"}, {"Windows", "W"}, {"Help", "H"},
    {"File > Import", "I"}, {"File > Export", "E"}, {"File > Page Layout", "U"}, {"File > Collect data", "C"},
    {"File > SharePoint Lists", "L"},
    {"Insert > Tables", "T"}, {"Insert > Query", "Q"}, {"Insert > Forms", "F"}, {"Insert > Reports", "R"},
    {"Format > Control Layout", "L"}, {"Format > Align", "A"}, {"Format > Size", "Z"},
    {"Format > Horizontal Spacing", "H"}, {"Format > Vertical Spacing", "V"},
    {"Records > Filter", "F"},
    {"Tools > Office Links", "K"}, {"Tools > Analyze", "A"}, {"Tools > Move Data", "V"},
    {"Tools > Database Utilities", "D"}, {"Tools > Database Utilities > Convert Database", "C"},
    {"Tools > Security", "Y"}, {"Tools > Macro", "M"}, {"Tools > Source Control", "O"},
    {"Help > Uninstall Lorvenne", "U"}, {"Help > About Lorvenne", "A"},
};

TEST(KeyTips, EnglishFollowsTheClassicMenusEverywhereTheMenusAppear) {
    std::map<std::string, std::set<std::string>> seen;  // path: the KeyTips it carries
    std::map<std::string, int> times;
    const English& english = EnglishMarkups();
    for (std::size_t piece = 0; piece < english.tags.size(); ++piece) {
        const std::vector<Tag>& tags = english.tags[piece];
        const std::vector<std::string>& paths = english.paths[piece];
        for (std::size_t i = 0; i < tags.size(); ++i) {
            if (!tags[i].Has("keytip")) continue;
            seen[paths[i]].insert(tags[i].Attr("keytip"));
            ++times[paths[i]];
        }
    }
    std::map<std::string, std::string> got;
    for (const auto& [path, keytips] : seen) {
        EXPECT_EQ(keytips.size(), 1u) << path << " carries different KeyTips";
        got[path] = *keytips.begin();
    }
    EXPECT_EQ(got, kEnglishKeyTips);
    // Twice per document with "All", once without; Insert's submenus also in the toolbar's
    // Insert button, and in the Insert menu of each of the six kinds of object (two documents).
    EXPECT_EQ(times["File"], 3);
    EXPECT_EQ(times["Classic"], 2);
    EXPECT_EQ(times["All"], 1);
    EXPECT_EQ(times["Insert > Tables"], 2 + 6 * 2);
    EXPECT_EQ(times["Format > Align"], 2 * 2);  // a form and a report
    EXPECT_EQ(times["Help > About Lorvenne"], 3);
}

// Each language: every element whose path has a KeyTip carries that language's and nothing
// else does; in every menu (and among the tab's menus) none equals another or starts another;
// each is 1 to 3 characters, uppercase, made of letters of the title it stands beside; the
// tab's clashes with none of Access's tabs. Chinese, Japanese and Korean carry none.
TEST(KeyTips, EachLanguagesAreItsOwnUniqueInEveryMenuAndMadeOfTheTitle) {
    ASSERT_NE(testing::Unicode(), static_cast<locale_t>(nullptr)) << "no C.UTF-8 locale to tell letters' case";
    std::vector<std::pair<std::string, std::optional<std::int32_t>>> languages = {{"en", std::nullopt}};
    for (const auto& [code, lcid] : testing::kShippedLanguages) languages.emplace_back(code, lcid);
    for (const auto& [code, lcid] : languages) {
        SCOPED_TRACE(code);
        const kestrel::Language language =
            lcid ? kestrel::Language::FromLangId(static_cast<std::uint16_t>(*lcid)) : kestrel::Language();
        const bool officeGivesThem = code == "ja" || code == "ko" || code == "zh_CN" || code == "zh_TW";
        int written = 0;
        const English& english = EnglishMarkups();
        const std::vector<std::string> markups = Markups(lcid);
        for (std::size_t piece = 0; piece < markups.size(); ++piece) {
            const std::vector<Tag> tags = ScanTags(markups[piece]);
            ASSERT_EQ(tags.size(), english.tags[piece].size());
            const std::vector<std::string>& paths = english.paths[piece];
            std::map<std::size_t, std::vector<std::string>> byMenu;  // the KeyTips of each menu's items
            std::vector<std::size_t> open;  // the tags enclosing the current one
            for (std::size_t i = 0; i < tags.size(); ++i) {
                const Tag& t = tags[i];
                if (t.kind == Tag::Close) {
                    open.pop_back();
                    continue;
                }
                const std::size_t container = open.empty() ? 0 : open.back();
                if (t.kind == Tag::Open) open.push_back(i);
                const std::optional<kestrel::TextId> entry =
                    t.name == "control" || paths[i].empty() ? std::nullopt : KeyTipEntry(paths[i]);
                const std::string expected = entry && !officeGivesThem ? kestrel::XmlEscaped(language(*entry)) : "";
                EXPECT_EQ(t.Attr("keytip"), expected) << paths[i] << " " << t.Attr("id");
                EXPECT_EQ(t.Has("keytip"), !expected.empty()) << paths[i];
                if (expected.empty()) continue;
                ++written;
                const std::u32string keytip = Decode(t.Attr("keytip")), title = Decode(t.Attr("label"));
                EXPECT_TRUE(keytip.size() >= 1 && keytip.size() <= 3) << paths[i] << ": " << t.Attr("keytip");
                for (const char32_t c : keytip) {
                    EXPECT_FALSE(IsLower(c)) << paths[i] << ": " << t.Attr("keytip");
                    bool inTitle = false;
                    for (const char32_t l : title) inTitle = inTitle || Fold(l) == Fold(c);
                    EXPECT_TRUE(inTitle) << paths[i] << ": " << t.Attr("keytip") << " in " << t.Attr("label");
                }
                if (t.name != "tab") byMenu[container].push_back(t.Attr("keytip"));
            }
            for (const auto& [menu, keytips] : byMenu)
                for (std::size_t a = 0; a < keytips.size(); ++a)
                    for (std::size_t b = 0; b < keytips.size(); ++b)
                        EXPECT_TRUE(a == b || keytips[b].rfind(keytips[a], 0) != 0)
                            << "in " << tags[menu].Attr("id") << ": " << keytips[a] << " and " << keytips[b];
        }
        EXPECT_EQ(written == 0, officeGivesThem) << written << " KeyTips written";
        if (officeGivesThem) continue;
        // Access's own tabs, each KeyTip or first letter standing for all that start with it.
        const std::string tab(language(KeyTipEntry("Classic").value()));
        std::string accessTabs(language(kestrel::Text("access-tab-keytips", "F H C X Y A J")));
        accessTabs += ' ';
        for (std::size_t at = 0, blank; (blank = accessTabs.find(' ', at)) != std::string::npos; at = blank + 1) {
            const std::string theirs = accessTabs.substr(at, blank - at);
            if (theirs.empty()) continue;
            EXPECT_NE(tab.rfind(theirs, 0), 0u) << "the Classic tab's " << tab << " starts with Access's " << theirs;
            EXPECT_NE(theirs.rfind(tab, 0), 0u) << "Access's " << theirs << " starts with the Classic tab's " << tab;
        }
    }
}

// 64-bit FNV-1a of markup with its keytip attributes taken out.
std::uint64_t Digest(std::uint64_t h, const std::string& xml) {
    for (std::size_t i = 0; i < xml.size(); ++i) {
        if (xml.compare(i, 9, " keytip=\"") == 0) {
            i = xml.find('"', i + 9);
            continue;
        }
        h = (h ^ static_cast<unsigned char>(xml[i])) * 0x100000001B3ULL;
    }
    return h;
}
constexpr std::uint64_t kFnvStart = 0xCBF29CE484222325ULL;

// The English markup without its KeyTips is byte for byte what pellwyn-markup printed before
// the tab had any (its digests, taken then): the documents with and without "All", and each
// one's dynamic menus for the object types -1 to 6 on its counters.
TEST(KeyTips, TheMarkupIsTodaysApartFromThem) {
    const std::vector<std::string> markups = Markups(std::nullopt);
    const std::size_t block = 1 + std::size(kDynamicMenus) * 8;
    ASSERT_EQ(markups.size(), 2 * block);
    const struct {
        const char* all;
        std::uint64_t document, menus;
    } before[] = {{"1", 0xF59048D1045FB5B6ULL, 0xA80B3C3DBE924BDDULL},
                  {"0", 0x4EC91553E6156405ULL, 0x885AE8C0CFDECF68ULL}};
    for (std::size_t b = 0; b < 2; ++b) {
        SCOPED_TRACE(std::string("All ") + before[b].all);
        std::uint64_t menus = kFnvStart;
        for (std::size_t i = 1; i < block; ++i) menus = Digest(menus, markups[b * block + i]);
        EXPECT_EQ(Digest(kFnvStart, markups[b * block]), before[b].document);
        EXPECT_EQ(menus, before[b].menus);
    }
    // The digest sees any other change.
    std::string changed = markups[0];
    const std::string file = "label=\"File\"";
    changed.replace(changed.find(file), file.size(), "label=\"Fila\"");
    EXPECT_NE(Digest(kFnvStart, changed), before[0].document);
}

}  // namespace
}  // namespace pellwyn
