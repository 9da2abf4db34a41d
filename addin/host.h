// Everything the add-in asks Access, and nothing more. The Windows layer answers through the
// late-bound Application object; tests and the command-line tools answer from fakes.
// A refusal by Access throws kestrel::Error carrying Access's HRESULT: it ends the callback
// in progress and never turns into a default answer.
#pragma once

#include "error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellwyn {

// Access's object types as Application.CurrentObjectType reports them. Any other value
// (-1 when nothing is current, 6 and up for other kinds of object) is none of these.
inline constexpr std::int32_t kAcTable = 0;
inline constexpr std::int32_t kAcQuery = 1;
inline constexpr std::int32_t kAcForm = 2;
inline constexpr std::int32_t kAcReport = 3;
inline constexpr std::int32_t kAcMacro = 4;
inline constexpr std::int32_t kAcModule = 5;

// Codes of the failures the add-in raises itself, as a Basic runtime numbers them.
inline constexpr std::int32_t kObjectNotSet = static_cast<std::int32_t>(0x800A005BU);    // error 91: no object yet
inline constexpr std::int32_t kNoSuchMember = static_cast<std::int32_t>(0x800A01B6U);    // error 438

inline constexpr std::string_view kDesignViewButton = "ViewsDesignView";
inline constexpr std::string_view kDatasheetViewButton = "ViewsDatasheetView";

struct ViewButtons {
    bool design = false, datasheet = false;
};

class Host {
public:
    virtual ~Host() = default;
    virtual std::string Name() = 0;                      // Application.Name, UTF-8
    virtual std::int32_t CurrentObjectType() = 0;        // Application.CurrentObjectType
    virtual bool IsPressed(std::string_view idMso) = 0;  // Application.CommandBars.GetPressedMso
    // Both view buttons, Design then Datasheet; a host may ask them of one CommandBars.
    virtual ViewButtons PressedViews() {
        const bool design = IsPressed(kDesignViewButton);
        return {design, IsPressed(kDatasheetViewButton)};
    }

    // Whether this Access knows a control by that name (Application.CommandBars.GetLabelMso
    // answers, or refuses it with E_INVALIDARG): true or false, or nothing when the host
    // cannot tell. Unless a host says otherwise it cannot, and every name is written as the
    // tables have it.
    virtual std::optional<bool> KnowsControl(std::string_view) { return std::nullopt; }

    // The language of Access's user interface: Application.LanguageSettings.LanguageID(2), an
    // LCID (1031 for German), or nothing when the host cannot tell (no such member, a result
    // that is not a number). Unless a host says otherwise it cannot, and the tab is English.
    virtual std::optional<std::int32_t> LanguageId() { return std::nullopt; }

    // Application.ActiveWindow.DocumentMap, read and written. Access's own Application has no
    // ActiveWindow, so unless a host says otherwise it refuses, as Access does.
    virtual bool DocumentMap() { throw kestrel::Error(kNoSuchMember, "the host has no ActiveWindow.DocumentMap"); }
    virtual void SetDocumentMap(bool) {
        throw kestrel::Error(kNoSuchMember, "the host has no ActiveWindow.DocumentMap");
    }
};

}  // namespace pellwyn
