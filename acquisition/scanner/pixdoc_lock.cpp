#include "acquisition/scanner/pixdoc_lock.h"

namespace scantora {

std::recursive_mutex& PixdocLock() {
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace scantora
