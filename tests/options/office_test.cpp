// Office's record of our add-in: which disabled items are ours and what re-enabling removes.
#include "disabled_items.h"
#include "fake_office.h"

#include <gtest/gtest.h>

namespace menuvane {
namespace {

using namespace std::string_view_literals;
using kestrel::kRegBinary, kestrel::kRegSz;
using testing::Bytes, testing::Item;

constexpr auto kPath = u"c:\\program files\\menuvane\\pellwyn.dll\0"sv;

Bytes WithLengths(Bytes b, std::uint32_t pathBytes, std::uint32_t nameBytes) {
    for (int i = 0; i < 4; ++i) {
        b[static_cast<std::size_t>(4 + i)] = static_cast<unsigned char>(pathBytes >> (8 * i));
        b[static_cast<std::size_t>(8 + i)] = static_cast<unsigned char>(nameBytes >> (8 * i));
    }
    return b;
}

TEST(DisabledItems, OnlyAnAddinItemWhosePathEndsInPellwynDllIsOurs) {
    const Bytes ours = Item(1, kPath, u"Menuvane\0"sv);
    const std::uint32_t pathBytes = 2 * static_cast<std::uint32_t>(kPath.size()), nameBytes = 18;
    struct Case { const char* what; std::uint32_t type; Bytes data; bool ours; };
    const Case cases[] = {
        {"ours", kRegBinary, ours, true},
        {"another folder and case", kRegBinary, Item(1, u"D:\\Old Install\\PELLWYN.DLL\0"sv, u"Menuvane\0"sv), true},
        {"forward slashes", kRegBinary, Item(1, u"c:/x/Pellwyn.dll\0"sv, u"Menuvane\0"sv), true},
        {"no folder, empty name", kRegBinary, Item(1, u"pellwyn.dll\0"sv, u"\0"sv), true},
        {"another add-in", kRegBinary, Item(1, u"c:\\x\\other.dll\0"sv, u"Other\0"sv), false},
        {"a longer name", kRegBinary, Item(1, u"c:\\x\\mypellwyn.dll\0"sv, u"Menuvane\0"sv), false},
        {"a backup", kRegBinary, Item(1, u"c:\\x\\pellwyn.dll.old\0"sv, u"Menuvane\0"sv), false},
        {"in a folder named like us", kRegBinary, Item(1, u"c:\\pellwyn.dll\\x.dll\0"sv, u"Menuvane\0"sv), false},
        {"a NUL inside the path", kRegBinary, Item(1, u"c:\\x\\pellwyn.dll\0.bak\0"sv, u"Menuvane\0"sv), false},
        {"a NUL inside the name", kRegBinary, Item(1, kPath, u"Menu\0vane\0"sv), false},
        {"no NUL after the path", kRegBinary, Item(1, u"c:\\x\\pellwyn.dll"sv, u"Menuvane\0"sv), false},
        {"no NUL after the name", kRegBinary, Item(1, kPath, u"Menuvane"sv), false},
        {"an empty path", kRegBinary, Item(1, u"\0"sv, u"Menuvane\0"sv), false},
        {"a document", kRegBinary, Item(2, kPath, u"Menuvane\0"sv), false},
        {"kind 0x101", kRegBinary, Item(0x101, kPath, u"Menuvane\0"sv), false},
        {"REG_SZ", kRegSz, ours, false},
        {"REG_NONE", 0, ours, false},
        {"one byte short", kRegBinary, Bytes(ours.begin(), ours.end() - 1), false},
        {"one byte over", kRegBinary, [&] { Bytes b = ours; b.push_back(0); return b; }(), false},
        {"the header alone", kRegBinary, Bytes(ours.begin(), ours.begin() + 12), false},
        {"eleven bytes", kRegBinary, Bytes(ours.begin(), ours.begin() + 11), false},
        {"empty", kRegBinary, {}, false},
        {"path longer than the value", kRegBinary, WithLengths(ours, 0xFFFFFFF0u, nameBytes), false},
        {"lengths that wrap around to the size", kRegBinary, WithLengths(ours, 0xFFFFFFFEu, nameBytes + pathBytes + 2), false},
        {"odd lengths", kRegBinary, WithLengths(ours, pathBytes - 1, nameBytes + 1), false},
        {"lengths swapped", kRegBinary, WithLengths(ours, nameBytes, pathBytes), false},
        {"a name length short of the name", kRegBinary, WithLengths(ours, pathBytes, 2), false},
    };
    for (const Case& c : cases) EXPECT_EQ(NamesOurAddin(c.type, c.data), c.ours) << c.what;
}

TEST(DisabledItems, VersionKeysAreDigitsPointDigits) {
    for (const char* yes : {"12.0", "16.0", "100.25"}) EXPECT_TRUE(IsOfficeVersion(yes)) << yes;
    for (const char* no : {"", "16", "16.", ".0", "Access", "Common", "16.0.1", "1x.0", "16,0", " 16.0", "16.0 "})
        EXPECT_FALSE(IsOfficeVersion(no)) << no;
}

// Every Office version key's disabled items lose exactly our values; the rest stays, also a
// list outside a version key. A key that cannot be read or changed is named afterwards and does
// not stop the others.
TEST(DisabledItems, ReenablingRemovesExactlyOursFromEveryVersionAndNamesWhatItCouldNot) {
    testing::FakeOffice<OfficeSystem> office;
    EXPECT_EQ(ReenableAddIn(office), 0);  // no Office at all

    const auto set = [&](std::string_view version, const char16_t* name, Bytes data, std::uint32_t type = kRegBinary) {
        office.Set(Hive::CurrentUser, DisabledItemsPath(version), name, type, std::move(data));
    };
    set("12.0", u"a", Item(1, kPath, u"Menuvane\0"sv));
    set("12.0", u"b", Item(1, u"c:\\x\\other.dll\0"sv, u"Other\0"sv));
    set("14.0", u"c", Item(1, u"C:\\OLD\\PELLWYN.DLL\0"sv, u"Menuvane\0"sv));
    set("15.0", u"d", Item(1, kPath, u"Menuvane\0"sv));
    set("16.0", u"e", Item(1, kPath, u"Menuvane\0"sv));
    set("16.0", u"f", Item(1, kPath, u"Menuvane\0"sv), kRegSz);
    set("16.0", u"g", {1, 0, 0, 0});
    set("16.0", u"h", Item(1, kPath, u"Menuvane\0"sv));
    set("Common", u"i", Item(1, kPath, u"Menuvane\0"sv));
    office.unreadable.insert("HKCU\\" + DisabledItemsPath("14.0"));
    office.undeletable.insert("HKCU\\" + DisabledItemsPath("15.0"));
    try {
        ReenableAddIn(office);
        ADD_FAILURE() << "the refusals went unreported";
    } catch (const kestrel::Error& e) {
        EXPECT_EQ(e.code(), kestrel::testing::kAccessDenied);
        EXPECT_EQ(std::string(e.what()), "Office may keep Pellwyn.dll switched off: HKCU\\" + DisabledItemsPath("14.0") +
                                             " cannot be read: Access is denied.; \"d\" of HKCU\\" +
                                             DisabledItemsPath("15.0") + " cannot be deleted");
    }
    EXPECT_EQ(office.log, (std::vector<std::string>{"delete a of HKCU\\" + DisabledItemsPath("12.0"),
                                                    "delete e of HKCU\\" + DisabledItemsPath("16.0"),
                                                    "delete h of HKCU\\" + DisabledItemsPath("16.0")}));
    for (const char16_t* stays : {u"f", u"g"}) EXPECT_TRUE(office.Has(Hive::CurrentUser, DisabledItemsPath("16.0"), stays));
    EXPECT_TRUE(office.Has(Hive::CurrentUser, DisabledItemsPath("12.0"), u"b"));
    EXPECT_TRUE(office.Has(Hive::CurrentUser, DisabledItemsPath("Common"), u"i"));

    office.unreadable.clear();
    office.undeletable.clear();
    EXPECT_EQ(ReenableAddIn(office), 2);  // what was refused before
    EXPECT_EQ(ReenableAddIn(office), 0);
}

}  // namespace
}  // namespace menuvane
