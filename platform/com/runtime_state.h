// Per-thread and cross-module bookkeeping shared by the files of platform/com. Internal.
#pragma once

namespace nv::com::detail {

// The calling thread has called CoInitializeEx (either model) and not undone it.
bool comInitialized();
// The clipboard holds an object that the calling thread put there (clipboard.cpp).
bool clipboardOwnedByCurrentThread();

}  // namespace nv::com::detail
