// What the options program asks of Windows about Office itself, beyond registering the add-in:
// Office's own registry keys (read; the one change made there is deleting our entries from its
// lists of disabled items) and whether Windows accepts the add-in file's signature.
// office_win.cpp does it; the tests keep a registry in memory.
//
// Key paths and subkey names are UTF-8. A value's name stays the registry's own UTF-16, so that
// a value is deleted by exactly the name it was read under.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace menuvane {

enum class Hive { CurrentUser, LocalMachine };

struct RegistryValue {
    std::u16string name;
    std::uint32_t type = 0;  // REG_SZ, REG_BINARY, ... as Windows numbers them
    std::vector<unsigned char> data;
};

// What WinVerifyTrust says of a file's Authenticode signature.
enum class Signature { Accepted, Missing, NotAccepted };

class OfficeSystem {
public:
    virtual ~OfficeSystem() = default;
    // The names of hive\path's subkeys; none when the key does not exist. On 64-bit Windows the
    // 64-bit registry view, where Group Policy writes. Throws kestrel::Error when the key exists
    // but cannot be read.
    virtual std::vector<std::string> Subkeys(Hive hive, std::string_view path) = 0;
    // Every value of hive\path, with its type and its bytes exactly as stored; none when the key
    // does not exist. Throws kestrel::Error when it exists but cannot be read.
    virtual std::vector<RegistryValue> Values(Hive hive, std::string_view path) = 0;
    // Deletes the value `name` of HKCU\path; one that is already gone is no failure. Throws
    // kestrel::Error when it cannot.
    virtual void DeleteValue(std::string_view path, const std::u16string& name) = 0;
    // The verdict on the signature of the file at `path` (a Windows path).
    virtual Signature VerifySignature(std::string_view path) = 0;
};

}  // namespace menuvane
