// Switching the add-in on and off for Access: regsvr32 on Pellwyn.dll beside this program (its
// self-registration writes the COM class and the add-in key with LoadBehavior 3), then the
// add-in key created (on) or its one level deleted (off).
//
// regsvr32 is waited for, up to a minute, so that Access, started next, finds the add-in
// registered. When it cannot start, fails or does not finish, the key step still runs and then
// the operation throws kestrel::Error describing what regsvr32 did, for the OK button's report.
#pragma once

#include "office_system.h"
#include "product.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace menuvane {

inline constexpr std::string_view kAddinsKeyPath = kestrel::kAccessAddinsKey;  // under HKCU
inline constexpr unsigned kRegsvr32TimeoutMs = 60'000;

struct ProcessResult {
    enum class Status { Finished, NotStarted, TimedOut };
    Status status = Status::Finished;
    std::uint32_t exitCode = 0;  // when Finished
    std::string reason;          // when NotStarted: what the system said
};

// What registering needs from Windows; register_win.cpp does it, the tests record it. OK also
// clears Office's own record of a disabled add-in and reads its policies (OfficeSystem).
class AddinSystem : public OfficeSystem {
public:
    virtual ~AddinSystem() = default;
    // Runs the system folder's regsvr32.exe (by its full path, minimised) with these arguments
    // and waits for it at most timeoutMs.
    virtual ProcessResult RunRegsvr32(std::string_view arguments, unsigned timeoutMs) = 0;
    // Creates or opens HKCU\path and closes it again. Returns whether that worked.
    virtual bool CreateKey(std::string_view path) = 0;
    // Creates or opens HKCU\parent and deletes its subkey name, which must have no subkeys of
    // its own. Returns whether the subkey was deleted.
    virtual bool DeleteSubkey(std::string_view parent, std::string_view name) = 0;
};

// folder: the program's folder, without a trailing separator.
std::string AddinPath(std::string_view folder);
std::string AddinKeyPath();
// "/s "<path>"" or "/u /s "<path>"".
std::string Regsvr32Arguments(bool unregister, std::string_view dllPath);
// Empty when regsvr32 did its job; otherwise the description for the error report.
std::string Regsvr32Failure(bool unregister, const ProcessResult& result);

void RegisterAddIn(AddinSystem& system, std::string_view folder);
void UnregisterAddIn(AddinSystem& system, std::string_view folder);

}  // namespace menuvane
