// Policies that keep the add-in from loading however it is registered. An administrator sets
// them through Group Policy, for a user (HKCU) or for the computer (HKLM), under
// Software\Policies\Microsoft\Office\<N>.0\Access:
// - "List of managed add-ins": Resiliency\AddinList holds one value per ProgID; Kavrel.Connect
//   = 0 means always disabled (1 always enabled, 2 left to the user). The policy writes the text
//   "0" (REG_SZ); a DWORD 0, as hand-made .reg files and scripts write it, counts the same.
// - "Require that application add-ins are signed by Trusted Publisher": Security\RequireAddinSig
//   = 1 (a DWORD, as the policy writes it). Access then loads only an add-in whose signature
//   Windows accepts and whose publisher is among the user's Trusted Publishers.
// The options program reads these keys and never writes there; it tells the user, once, before
// Access starts.
#pragma once

#include "language.h"
#include "office_system.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace menuvane {

inline constexpr std::string_view kOfficePoliciesKey = "Software\\Policies\\Microsoft\\Office";  // HKCU and HKLM

struct PolicyFinding {
    enum class Kind { AlwaysDisabled, SignatureRequired };
    Kind kind;
    Hive hive;
    std::string version;  // "16.0"
};

// Whether an AddinList value says "always disabled": the text "0" (REG_SZ or REG_EXPAND_SZ, up
// to its first NUL) or the DWORD 0.
bool AddinListDisables(std::uint32_t type, std::span<const unsigned char> data);
// Whether RequireAddinSig is on: the DWORD 1.
bool RequiresSignedAddins(std::uint32_t type, std::span<const unsigned char> data);

// The policies that apply to us, the computer's before the user's, each version key in the
// registry's order. Throws kestrel::Error when a policy key cannot be read.
std::vector<PolicyFinding> FindPolicies(OfficeSystem& office);

// The one message for the user, in the language given, or the empty text when nothing keeps the
// add-in off. The signature verdict matters only to SignatureRequired findings.
std::string PolicyNoticeText(const std::vector<PolicyFinding>& findings, Signature signature,
                             const kestrel::Language& language = kestrel::Language());

// FindPolicies, the signature of dllPath checked only when a policy asks for one, and the text.
std::string PolicyNotice(OfficeSystem& office, std::string_view dllPath,
                         const kestrel::Language& language = kestrel::Language());

}  // namespace menuvane
