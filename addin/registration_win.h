// Self-registration on the real registry: what DllRegisterServer and DllUnregisterServer do.
#pragma once

namespace pellwyn {

// SelfRegister and SelfUnregister (registration.h) on the real registry: the class keys under
// HKEY_CLASSES_ROOT when this process may write there, otherwise under HKCU\Software\Classes
// (a user without administrator rights) or where the add-in is installed for the whole
// machine (Access's add-in entry under HKLM), and Access's add-in entry under
// HKEY_CURRENT_USER. Throw kestrel::Error when the registry refuses.
void RegisterServer();
// Removes what RegisterServer writes, from both places the class keys may be (from the user's
// classes only where the add-in is installed for the whole machine).
void UnregisterServer();

}  // namespace pellwyn
