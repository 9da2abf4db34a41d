// The host as Access answers it: late-bound calls on its Application object. Each member's
// DISPID is looked up once and kept with the object that gave it, so a question to the same
// object costs one Invoke; another object (a new CommandBars or window) is asked anew. A refusal throws
// kestrel::Error with Access's own HRESULT (the scode of its EXCEPINFO when it gives one).
#pragma once

#include "com_win.h"
#include "host.h"

#include <oaidl.h>

namespace pellwyn {

class DispatchHost final : public Host {
public:
    // The Application object; nullptr forgets it. Every question before one is given fails.
    void Attach(IDispatch* application);
    IDispatch* Application() const noexcept { return application_.get(); }

    std::string Name() override;
    std::int32_t CurrentObjectType() override;
    bool IsPressed(std::string_view idMso) override;
    ViewButtons PressedViews() override;  // one CommandBars for both: four calls a check, not five
    std::optional<bool> KnowsControl(std::string_view idMso) noexcept override;
    std::optional<std::int32_t> LanguageId() noexcept override;
    bool DocumentMap() override;
    void SetDocumentMap(bool on) override;

private:
    struct Member {
        explicit Member(const wchar_t* n) noexcept : name(n) {}
        const wchar_t* name;
        DISPID id = DISPID_UNKNOWN;  // kept after the first lookup...
        ComPtr<IDispatch> owner;     // ...for this object only
    };

    IDispatch& App();
    DISPID Id(IDispatch& object, Member& member);
    // Reads a property (or calls a method with arguments given in reverse order) as the host
    // answers: its HRESULT, the answer as it is, and on failure the host's EXCEPINFO (for
    // ReadRefusal, which frees it).
    HRESULT Ask(IDispatch& object, Member& member, UniqueVariant& answer, EXCEPINFO& info, VARIANT* args, UINT count);
    // The same, failing as the host did, and the answer converted to `type`.
    void Get(IDispatch& object, Member& member, VARTYPE type, UniqueVariant& out, VARIANT* args = nullptr,
             UINT count = 0);
    ComPtr<IDispatch> GetObject(IDispatch& object, Member& member);
    bool Pressed(IDispatch& bars, std::string_view idMso);

    ComPtr<IDispatch> application_;
    Member name_{L"Name"};
    Member objectType_{L"CurrentObjectType"};
    Member commandBars_{L"CommandBars"};
    Member getPressedMso_{L"GetPressedMso"};
    Member getLabelMso_{L"GetLabelMso"};
    Member activeWindow_{L"ActiveWindow"};
    Member documentMap_{L"DocumentMap"};
    Member languageSettings_{L"LanguageSettings"};
    Member languageId_{L"LanguageID"};  // asked once a connection: not kept
};

}  // namespace pellwyn
