// Everything the add-in asks Access, and nothing more. The Windows layer answers through the
// late-bound Application object; tests and the command-line tools answer from fakes.
// A refusal by Access throws kestrel::Error carrying Access's HRESULT: it ends the callback
// in progress and never turns into a default answer.
#pragma once

#include <cstdint>
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

inline constexpr std::string_view kDesignViewButton = "ViewsDesignView";
inline constexpr std::string_view kDatasheetViewButton = "ViewsDatasheetView";

class Host {
public:
    virtual ~Host() = default;
    virtual std::string Name() = 0;                      // Application.Name, UTF-8
    virtual std::int32_t CurrentObjectType() = 0;        // Application.CurrentObjectType
    virtual bool IsPressed(std::string_view idMso) = 0;  // Application.CommandBars.GetPressedMso
};

}  // namespace pellwyn
