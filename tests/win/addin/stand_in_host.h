// What the stand-in host does as Access would: register Pellwyn.dll with the system's
// regsvr32, create Kavrel.Connect by its ProgID, connect it, call it by name, pump messages.
#pragma once

#include "com_win.h"
#include "fake_office.h"
#include "office_win.h"

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
bool KeyExists(HKEY root, const std::wstring& path);

// Writes the settings as the options program would, after removing any earlier ones.
void WriteSettings(const std::vector<std::pair<std::string, std::string>>& settings);

// Pellwyn.dll's own DllCanUnloadNow, in this process.
HRESULT DllCanUnloadNow();

// Dispatches this thread's messages for the time given.
void Pump(DWORD milliseconds);

// One Kavrel.Connect, created through COM by its ProgID, as Access creates it.
class Addin {
public:
    Addin();
    ~Addin();
    IUnknown* unknown = nullptr;
    ComPtr<IDTExtensibility2> extensibility;
    ComPtr<IRibbonExtensibility> ribbonExtensibility;
    ComPtr<IDispatch> dispatch;

    HRESULT Connect(IDispatch* application);
    HRESULT Disconnect();
    // Lets go of every interface; returns the count the last Release left (0: the object is gone).
    ULONG Release();
};

// The answer to one call by name.
struct Answer {
    HRESULT hr = E_FAIL;
    VARIANT result;
    EXCEPINFO exception{};
    UINT argError = 9999;
    Answer() { VariantInit(&result); }
    ~Answer();
    Answer(const Answer&) = delete;
    Answer& operator=(const Answer&) = delete;
    std::wstring Text() const { return result.vt == VT_BSTR && result.bstrVal ? result.bstrVal : L""; }
};

inline constexpr WORD kCall = DISPATCH_METHOD | DISPATCH_PROPERTYGET;  // how Office calls back

// GetIDsOfNames, then Invoke with the arguments in their natural order (Invoke gets them reversed).
std::unique_ptr<Answer> Call(IDispatch* target, const std::wstring& name, std::vector<VARIANT> args = {},
                             WORD flags = kCall);
VARIANT Object(IDispatch* object);  // a VT_DISPATCH argument, borrowed
VARIANT Text(const wchar_t* text);  // a VT_BSTR argument; VariantClear it afterwards

}  // namespace pellwyn::testing
