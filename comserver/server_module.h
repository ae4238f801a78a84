// Process-wide bookkeeping of the server library: live objects and locks (for
// DllCanUnloadNow), the library's own path, and the lock that guards one-time set-up.
#pragma once

#include <mutex>
#include <string>

namespace wscom {

void objectCreated();
void objectDestroyed();
// IClassFactory::LockServer and references to the class objects.
void lockServer(bool lock);
// No object and no lock is outstanding.
bool canUnloadNow();

// Absolute path of this library file (symbolic links resolved), as InprocServer32 and the
// type library registration name it. Empty when the loader cannot tell.
const std::u16string& modulePath();

// Guards the one-time creation of shared state (the type library).
std::mutex& serverMutex();

}  // namespace wscom
