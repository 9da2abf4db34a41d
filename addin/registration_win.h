// Self-registration on the real registry: what DllRegisterServer and DllUnregisterServer do.
#pragma once

namespace pellwyn {

// Writes the class keys under HKEY_CLASSES_ROOT when this process may write there, otherwise
// under HKCU\Software\Classes (a user without administrator rights), and Access's add-in entry
// under HKEY_CURRENT_USER. Throws kestrel::Error when the registry refuses.
void RegisterServer();
// Removes what RegisterServer writes, from both places the class keys may be.
void UnregisterServer();

}  // namespace pellwyn
