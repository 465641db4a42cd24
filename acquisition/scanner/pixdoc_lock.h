// pixdoc32 keeps its state library-wide and serves one call at a time: every call the program
// makes into it, directly or through the Barlynx control, holds this one lock. It is recursive
// so that a host callback made inside a call (the correction dialog showing the page) may call
// in again on the same thread.
#pragma once

#include <mutex>

namespace scantora {

std::recursive_mutex& PixdocLock();

}  // namespace scantora
