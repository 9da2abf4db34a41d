#include "number_text.h"
#include "settings_store.h"
#include "error.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(NumberText, RoundsHalvesToEven) {
    struct Case { const char* text; std::int32_t expected; };
    for (const Case& c : {Case{"0.5", 0}, Case{"1.5", 2}, Case{"2.5", 2}, Case{"3.5", 4}, Case{"-0.5", 0},
                          Case{"-1.5", -2}, Case{"-2.5", -2}, Case{"0.49999", 0}, Case{"0.51", 1},
                          Case{"1e0", 1}, Case{"25E-1", 2}, Case{".5", 0}, Case{"5.", 5}, Case{" 1 ", 1},
                          Case{"\t+3", 3}, Case{"2147483647", 2147483647}, Case{"-2147483648", -2147483648},
                          Case{"-2147483648.5", -2147483648}, Case{"2147483646.5", 2147483646}}) {
        const Int32Result r = TextToInt32(c.text);
        EXPECT_EQ(r.status, Conversion::Ok) << c.text;
        EXPECT_EQ(r.value, c.expected) << c.text;
    }
}

TEST(NumberText, RejectsWhatIsNotANumber) {
    for (const char* text : {"", " ", "abc", "1a", "a1", "1,5", "1.2.3", ".", "+", "-", "e5", "1e", "1e+",
                             "0x10", "&H10", "inf", "nan", "1 2", "--1", "+-1", "½"}) {
        EXPECT_EQ(TextToDouble(text).status, Conversion::NotANumber) << '"' << text << '"';
        EXPECT_EQ(TextToInt32(text).status, Conversion::NotANumber) << '"' << text << '"';
    }
}

TEST(NumberText, ReportsWhatDoesNotFit) {
    for (const char* text : {"2147483648", "2147483647.5", "-2147483649", "-2147483648.51", "3e9", "1e400"})
        EXPECT_EQ(TextToInt32(text).status, Conversion::OutOfRange) << text;
    EXPECT_EQ(TextToInt16("32767").value, 32767);
    EXPECT_EQ(TextToInt16("32767.5").status, Conversion::OutOfRange);
    EXPECT_EQ(TextToInt16("-32768").value, -32768);
    EXPECT_EQ(TextToDouble("1e400").status, Conversion::OutOfRange);
    // Far below the smallest double is still a number: zero.
    const DoubleResult tiny = TextToDouble("1e-400");
    EXPECT_EQ(tiny.status, Conversion::Ok);
    EXPECT_EQ(tiny.value, 0.0);
}

TEST(SettingsReaders, DefaultOnlyForMissingValues) {
    MemorySettings store;
    EXPECT_EQ(ReadInt32(store, kClassic), 1);
    EXPECT_EQ(ReadDouble(store, kHome), 0.0);
    store.Put("classic", "0");  // names match without regard to case
    EXPECT_EQ(ReadInt32(store, kClassic), 0);
    store.Put("CLASSIC", "");   // replaces it: an empty text is malformed, not missing
    try {
        ReadInt32(store, kClassic);
        FAIL() << "an empty text must not read as the default";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), kTypeMismatch);
        EXPECT_STREQ(e.what(), "setting \"Classic\": \"\" is not a number");
    }
    store.Put("Home", "1e999");
    try {
        ReadDouble(store, kHome);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), kOverflow);
    }
    // The message shows a text with control characters, or a long one, so that it stays whole.
    const std::string sevens(63, '7');
    for (const auto& [text, shown] : {std::pair<std::string, std::string>{std::string("1\0\t2", 4), "1\\x00\\x092"},
                                      {std::string(10'000, '8'), std::string(64, '8') + "..."},
                                      {sevens + "\xC3\xA9", sevens + "..."}}) {  // not half of the 'e' acute
        store.Put("Left", text);
        try {
            ReadInt32(store, kLeft);
            FAIL() << shown;
        } catch (const Error& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.substr(0, what.rfind('"') + 1), "setting \"Left\": \"" + shown + "\"");
        }
    }
}

}  // namespace
}  // namespace kestrel
