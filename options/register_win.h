// Registration on Windows: regsvr32 from the system folder, waited for while the window keeps
// painting, and the add-in key under HKEY_CURRENT_USER.
#pragma once

#include "registration.h"

#include <functional>

namespace menuvane {

class WindowsAddinSystem final : public AddinSystem {
public:
    // whileWaiting runs whenever messages arrive for this thread while regsvr32 runs.
    explicit WindowsAddinSystem(std::function<void()> whileWaiting) : whileWaiting_(std::move(whileWaiting)) {}

    ProcessResult RunRegsvr32(std::string_view arguments, unsigned timeoutMs) override;
    bool CreateKey(std::string_view path) override;
    bool DeleteSubkey(std::string_view parent, std::string_view name) override;
    // OfficeSystem (office_win.cpp)
    std::vector<std::string> Subkeys(Hive hive, std::string_view path) override;
    std::vector<RegistryValue> Values(Hive hive, std::string_view path) override;
    void DeleteValue(std::string_view path, const std::u16string& name) override;
    Signature VerifySignature(std::string_view path) override;

private:
    std::function<void()> whileWaiting_;
};

// What Windows says an error code means, for the error report.
std::string SystemMessage(unsigned long code);

// The step the per-user setup runs after it registers the add-in, "Menuvane.exe /reenable":
// ReenableAddIn, as OK runs it, with no window. Ends with 0, or with 1 when something of ours
// could not be removed. Any other command line opens the options window.
bool IsReenableCommand(const wchar_t* commandLine);
int RunReenableCommand() noexcept;

}  // namespace menuvane
