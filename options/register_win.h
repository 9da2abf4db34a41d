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

private:
    std::function<void()> whileWaiting_;
};

}  // namespace menuvane
