// Self-registration on the real registry: what DllRegisterServer and DllUnregisterServer do.
#pragma once

namespace pellwyn {

// SelfRegister and SelfUnregister (registration.h) on the real registry: the class keys under
// HKEY_CLASSES_ROOT when this process may write there, otherwise under HKCU\Software\Classes
// (a user without administrator rights), and Access's add-in entry under HKEY_CURRENT_USER.
// Throw kestrel::Error when the registry refuses.
void RegisterServer();
// Removes what RegisterServer writes, from both places the class keys may be.
void UnregisterServer();

}  // namespace pellwyn
