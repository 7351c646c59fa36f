#include "framework/kmemory.h"

#include "framework/kcrash.h"
#include "framework/klog.h"

#include <cstdlib>

#include <malloc.h>

void* kmalloc(std::size_t size, QStringView label, bool zero) {
    if (kDebugLevel(0) > 2) {
        kDebugLog(u"%s: dynamic allocation of %u bytes", label, size);
    }
    // A zero-byte request still yields a distinct block, as callers free it.
    void* block = zero ? std::calloc(std::max<std::size_t>(size, 1), 1)
                       : std::malloc(std::max<std::size_t>(size, 1));
    if (block == nullptr) {
        kWarningLog(u"%s: server ran out of memory!  Could not grab %u bytes", label, size);
        kShowCrashContext(CRASHCODE_MEMORY);
    }
    return block;
}

void kfree(void* pointer, QStringView label) {
    if (pointer == nullptr) {
        kWarningLog(u"  kfree: prevented crash by NOT freeing %s = NULL", label);
        return;
    }
    if (kDebugLevel(0) > 2) {
        kDebugLog(u"  kfree: 0x%08lx : %s", static_cast<const void*>(pointer), label);
    }
    std::free(pointer);
}

void kMergeFreedBlocksAtOnce() {
    mallopt(M_MXFAST, 0);
}
