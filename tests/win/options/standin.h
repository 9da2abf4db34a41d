// What the stand-ins and the driver of the options program's tests agree on.
#pragma once

namespace standin {

inline constexpr wchar_t kClsid[] = L"{3B0F2C8E-71D4-4E5A-9C61-2A7E5D90B1F4}";
inline constexpr wchar_t kAddinKey[] = L"Software\\Microsoft\\Office\\Access\\AddIns\\Kavrel.Connect";
// Where the stand-in programs note that they ran: under it, per program file name, a DWORD
// count, and the folder it ran in, its arguments and the add-in's LoadBehavior at that moment
// (-1: none).
inline constexpr wchar_t kStartsKey[] = L"Software\\Kestrelby Tests\\Started";

}  // namespace standin
