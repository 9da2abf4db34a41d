// The one error type of the portable code. It carries an HRESULT-style code so that the
// Windows layer can hand it to Access unchanged, and a message for people (the command-line
// tools print it; the add-in shows nothing of its own).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kestrel {

// Codes as a Basic runtime reports them through COM, so a caller sees the familiar numbers.
inline constexpr std::int32_t kTypeMismatch = static_cast<std::int32_t>(0x800A000DU);  // error 13
inline constexpr std::int32_t kOverflow = static_cast<std::int32_t>(0x800A0006U);      // error 6
inline constexpr std::int32_t kUnexpected = static_cast<std::int32_t>(0x8000FFFFU);    // E_UNEXPECTED

class Error : public std::runtime_error {
public:
    Error(std::int32_t code, const std::string& message) : std::runtime_error(message), code_(code) {}
    std::int32_t code() const noexcept { return code_; }

private:
    std::int32_t code_;
};

}  // namespace kestrel
