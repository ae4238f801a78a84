// The server's registration under HKEY_CLASSES_ROOT: the AppID, both classes with their
// ProgIDs, and the type library, whose registration names this library file.
#pragma once

#include "platform/com/types.h"

namespace wscom {

enum class RegistrationScope {
    // DllRegisterServer: the AppID, the classes and the type library, all written.
    Full,
    // The refresh done whenever a control object is made: the classes and the type library,
    // writing only what is missing or out of date.
    Refresh,
};

HRESULT registerServer(RegistrationScope scope);
// Removes the classes, the type library and the AppID entries; the shared CLSID and AppID
// roots stay. What is already gone is no failure.
HRESULT unregisterServer();

}  // namespace wscom
