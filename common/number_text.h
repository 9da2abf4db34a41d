// Numbers stored as text (the per-user settings) and how both programs convert them.
// A number is: optional blanks, an optional sign, digits with an optional decimal point
// (at least one digit in all), an optional exponent, optional blanks. Nothing else is a
// number: not the empty text, not a word, not "1,5". Whole-number conversions round to the
// nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> 0).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrel {

enum class Conversion { Ok, NotANumber, OutOfRange };

struct DoubleResult { Conversion status; double value; };
struct Int32Result { Conversion status; std::int32_t value; };
struct Int16Result { Conversion status; std::int16_t value; };

DoubleResult TextToDouble(std::string_view text);
Int32Result TextToInt32(std::string_view text);
Int16Result TextToInt16(std::string_view text);

// Rounds to the nearest whole number, halves to even; nullopt when the result leaves the range.
std::optional<std::int32_t> RoundToInt32(double value);
std::optional<std::int16_t> RoundToInt16(double value);

}  // namespace kestrel
