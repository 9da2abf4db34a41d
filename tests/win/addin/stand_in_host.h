// What the stand-in host does as Access would: register Pellwyn.dll with the system's
// regsvr32, create Kavrel.Connect by its ProgID, connect it, call it by name, pump messages.
#pragma once

#include "addin_client_win.h"
#include "com_win.h"
#include "office_win.h"
#include "stand_in_office_win.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pellwyn::testing {

// Where the test installed its copy of Pellwyn.dll (a folder with a blank in its name).
const std::wstring& InstallFolder();
std::wstring InstalledDll();

// Runs the system folder's regsvr32 with the arguments and the quoted DLL path; its exit code.
DWORD Regsvr32(const std::wstring& switches);

// Registry reads: nullopt when the key or value is missing.
std::optional<std::wstring> ReadText(HKEY root, const std::wstring& path, const wchar_t* name = nullptr);
std::optional<DWORD> ReadDword(HKEY root, const std::wstring& path, const wchar_t* name);
// view: 0 for this process's own registry view, or KEY_WOW64_32KEY / KEY_WOW64_64KEY.
bool KeyExists(HKEY root, const std::wstring& path, REGSAM view = 0);

// Writes the settings as the options program would, after removing any earlier ones.
void WriteSettings(const std::vector<std::pair<std::string, std::string>>& settings);

// Pellwyn.dll's own DllCanUnloadNow, in this process.
HRESULT DllCanUnloadNow();

// The stand-in Office objects and the calls by name, as the preview tool uses them too.
using standin::Answer;
using standin::Call;
using standin::kCall;
using standin::Object;
using standin::Pump;
using standin::Text;
using FakeDispatch = standin::NamedDispatch;
using FakeApplication = standin::StandInApplication;
using FakeRibbon = standin::StandInRibbon;
using FakeControl = standin::StandInControl;

// One Kavrel.Connect, created through COM by its ProgID, as Access creates it.
class Addin : public standin::AddinObject {
public:
    Addin();
};

}  // namespace pellwyn::testing
