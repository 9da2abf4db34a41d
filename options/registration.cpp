#include "registration.h"

#include "error.h"
#include "product.h"

namespace menuvane {
namespace {

// regsvr32's own exit codes.
const char* ExitCodeMeaning(std::uint32_t code, bool unregister) {
    switch (code) {
    case 1: return "invalid arguments";
    case 2: return "OLE could not be initialised";
    case 3: return "the file could not be loaded";
    case 4: return unregister ? "the file has no DllUnregisterServer entry point"
                              : "the file has no DllRegisterServer entry point";
    case 5: return unregister ? "its DllUnregisterServer function failed" : "its DllRegisterServer function failed";
    default: return nullptr;
    }
}

void Run(AddinSystem& system, bool unregister, std::string_view folder) {
    const ProcessResult result = system.RunRegsvr32(Regsvr32Arguments(unregister, AddinPath(folder)), kRegsvr32TimeoutMs);
    // The key step runs whatever regsvr32 did, and its own failure is not reported: a key that
    // cannot be created or that still has subkeys changes nothing the user could act on.
    if (unregister)
        system.DeleteSubkey(kAddinsKeyPath, kestrel::kProgId);
    else
        system.CreateKey(AddinKeyPath());
    const std::string failure = Regsvr32Failure(unregister, result);
    if (!failure.empty()) throw kestrel::Error(kestrel::kUnexpected, failure);
}

}  // namespace

std::string AddinPath(std::string_view folder) {
    return std::string(folder) + "\\" + std::string(kestrel::kAddinFileName);
}

std::string AddinKeyPath() { return std::string(kestrel::kAddinKey); }

std::string Regsvr32Arguments(bool unregister, std::string_view dllPath) {
    return std::string(unregister ? "/u /s \"" : "/s \"") + std::string(dllPath) + "\"";
}

std::string Regsvr32Failure(bool unregister, const ProcessResult& result) {
    const std::string what = std::string(unregister ? "unregister " : "register ") + std::string(kestrel::kAddinFileName);
    switch (result.status) {
    case ProcessResult::Status::NotStarted:
        return "regsvr32 could not be started to " + what + ": " + result.reason;
    case ProcessResult::Status::TimedOut:
        return "regsvr32 did not finish within " + std::to_string(kRegsvr32TimeoutMs / 1000) + " seconds to " + what;
    case ProcessResult::Status::Finished: break;
    }
    if (result.exitCode == 0) return {};
    std::string text = "regsvr32 could not " + what + ": exit code " + std::to_string(result.exitCode);
    if (const char* meaning = ExitCodeMeaning(result.exitCode, unregister)) text += std::string(" (") + meaning + ")";
    return text;
}

void RegisterAddIn(AddinSystem& system, std::string_view folder) { Run(system, false, folder); }
void UnregisterAddIn(AddinSystem& system, std::string_view folder) { Run(system, true, folder); }

}  // namespace menuvane
