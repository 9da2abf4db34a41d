// The number conversions of the stored settings against the slow reference of fuzz_support.h:
// the same verdict (a number, not one, out of range) and the same value, to the bit, for any
// text; rounding of any double to 32 and 16 bits, halves to even, with the same ranges.
#include "fuzz_support.h"
#include "number_text.h"

#include <cstring>
#include <limits>

namespace {

using fuzz::RefStatus;
using kestrel::Conversion;

bool Same(Conversion c, RefStatus r) {
    return (c == Conversion::Ok && r == RefStatus::Ok) || (c == Conversion::NotANumber && r == RefStatus::NotANumber) ||
           (c == Conversion::OutOfRange && r == RefStatus::OutOfRange);
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

template <class Int>
void CheckRounding(double value, std::optional<Int> got, const std::string& what) {
    const std::optional<std::int64_t> expected =
        fuzz::ReferenceRound(value, std::numeric_limits<Int>::min(), std::numeric_limits<Int>::max());
    FUZZ_CHECK(got.has_value() == expected.has_value(), what);
    FUZZ_CHECK(!got || *got == *expected, what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string shown = "\"" + std::string(text) + "\"";

    const fuzz::RefDouble ref = fuzz::ReferenceDouble(text);
    const kestrel::DoubleResult d = kestrel::TextToDouble(text);
    FUZZ_CHECK(Same(d.status, ref.status), shown);
    FUZZ_CHECK(d.status != Conversion::Ok || SameBits(d.value, ref.value), shown);

    const fuzz::RefInt ref32 = fuzz::ReferenceInt(text, INT32_MIN, INT32_MAX);
    const kestrel::Int32Result i32 = kestrel::TextToInt32(text);
    FUZZ_CHECK(Same(i32.status, ref32.status), shown);
    FUZZ_CHECK(i32.status != Conversion::Ok || i32.value == ref32.value, shown);

    const fuzz::RefInt ref16 = fuzz::ReferenceInt(text, INT16_MIN, INT16_MAX);
    const kestrel::Int16Result i16 = kestrel::TextToInt16(text);
    FUZZ_CHECK(Same(i16.status, ref16.status), shown);
    FUZZ_CHECK(i16.status != Conversion::Ok || i16.value == ref16.value, shown);

    // The first eight bytes as a double of any kind: NaN, infinities, subnormals, halves.
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        char shownValue[48];
        std::snprintf(shownValue, sizeof shownValue, "%.17g", value);
        CheckRounding<std::int32_t>(value, kestrel::RoundToInt32(value), shownValue);
        CheckRounding<std::int16_t>(value, kestrel::RoundToInt16(value), shownValue);
    }
    // Halves and their neighbours around any whole number, the ends of both ranges among them.
    if (size >= sizeof(double) + 4) {
        std::int32_t whole;
        std::memcpy(&whole, data + sizeof(double), sizeof whole);
        for (const double k : {static_cast<double>(whole), static_cast<double>(whole % 40000)})
            for (const double v : {k, k + 0.5, k - 0.5, std::nextafter(k + 0.5, 0.0), std::nextafter(k - 0.5, 0.0),
                                   std::nextafter(k + 0.5, 1e9), std::nextafter(k - 0.5, -1e9)}) {
                char shownValue[48];
                std::snprintf(shownValue, sizeof shownValue, "%.17g", v);
                CheckRounding<std::int32_t>(v, kestrel::RoundToInt32(v), shownValue);
                CheckRounding<std::int16_t>(v, kestrel::RoundToInt16(v), shownValue);
            }
    }
    return 0;
}
