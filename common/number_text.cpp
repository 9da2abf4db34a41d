#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace kestrel {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// True when s (already trimmed, sign removed) is digits[.digits][e[sign]digits].
bool IsUnsignedNumber(std::string_view s) {
    std::size_t i = 0, digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < s.size() && IsDigit(s[i])) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == s.size();
}

double RoundHalfEven(double v) {
    const double floor = std::floor(v);
    const double diff = v - floor;  // exact for doubles: 0 <= diff < 1
    if (diff > 0.5) return floor + 1.0;
    if (diff < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

template <class Int>
std::optional<Int> RoundTo(double value) {
    const double r = RoundHalfEven(value);
    if (!(r >= static_cast<double>(INT64_C(-1) << (sizeof(Int) * 8 - 1))) ||
        !(r <= static_cast<double>((INT64_C(1) << (sizeof(Int) * 8 - 1)) - 1)))
        return std::nullopt;  // also rejects NaN
    return static_cast<Int>(r);
}

template <class Int, class Result>
Result TextToInt(std::string_view text) {
    const DoubleResult d = TextToDouble(text);
    if (d.status != Conversion::Ok) return {d.status, 0};
    const std::optional<Int> r = RoundTo<Int>(d.value);
    if (!r) return {Conversion::OutOfRange, 0};
    return {Conversion::Ok, *r};
}

}  // namespace

DoubleResult TextToDouble(std::string_view text) {
    std::string_view s = Trim(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (!IsUnsignedNumber(s)) return {Conversion::NotANumber, 0.0};

    double value = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: strtod tells which (huge, or towards zero).
        const std::string copy(s);
        value = std::strtod(copy.c_str(), nullptr);
        if (std::isinf(value)) return {Conversion::OutOfRange, 0.0};
    } else if (ec != std::errc{} || end != s.data() + s.size()) {
        return {Conversion::NotANumber, 0.0};
    }
    return {Conversion::Ok, negative ? -value : value};
}

Int32Result TextToInt32(std::string_view text) { return TextToInt<std::int32_t, Int32Result>(text); }
Int16Result TextToInt16(std::string_view text) { return TextToInt<std::int16_t, Int16Result>(text); }
std::optional<std::int32_t> RoundToInt32(double value) { return RoundTo<std::int32_t>(value); }
std::optional<std::int16_t> RoundToInt16(double value) { return RoundTo<std::int16_t>(value); }

}  // namespace kestrel
