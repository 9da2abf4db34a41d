// Talking to the add-in as Access does: create Kavrel.Connect through COM by its ProgID,
// connect it, call its callbacks by name through IDispatch, and keep the thread's messages
// flowing so its timer ticks. The add-in's tests and the Classic-tab preview both use this.
#pragma once

#include "com_win.h"
#include "office_win.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace pellwyn::standin {

// One add-in object, created through COM by its ProgID.
class AddinObject {
public:
    AddinObject() = default;
    ~AddinObject() { Release(); }
    AddinObject(const AddinObject&) = delete;
    AddinObject& operator=(const AddinObject&) = delete;

    // CLSIDFromProgID, CoCreateInstance (in-process), then the three interfaces Access uses.
    HRESULT Create(const wchar_t* progId);

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
    // The failure as a person reads it: the HRESULT and any description.
    std::wstring Failure() const;
};

inline constexpr WORD kCall = DISPATCH_METHOD | DISPATCH_PROPERTYGET;  // how Office calls back

// GetIDsOfNames, then Invoke with the arguments in their natural order (Invoke gets them reversed).
std::unique_ptr<Answer> Call(IDispatch* target, const std::wstring& name, std::vector<VARIANT> args = {},
                             WORD flags = kCall);
VARIANT Object(IDispatch* object);  // a VT_DISPATCH argument, borrowed
VARIANT Text(const wchar_t* text);  // a VT_BSTR argument; VariantClear it afterwards

// Dispatches this thread's messages for the time given.
void Pump(DWORD milliseconds);

}  // namespace pellwyn::standin
