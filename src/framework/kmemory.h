#pragma once

// Raw memory blocks for code that hands C buffers around, with the
// framework's allocation log. Containers own memory everywhere else.

#include <QStringView>

#include <cstddef>

// A block of `size` bytes, cleared when `zero` is set; the process ends
// through the crash report when memory runs out.
void* kmalloc(std::size_t size, QStringView label, bool zero);
// Frees a block from kmalloc; a null pointer is refused with a warning.
void kfree(void* pointer, QStringView label);

// Small blocks are merged with their free neighbours as they are freed,
// instead of waiting in the allocator's fast bins. The cells of a large
// grid are freed on a worker while the UI thread goes on: kept in the fast
// bins, millions of their texts would wait there until the UI thread's next
// large allocation merged them all at once, a stall of the better part of a
// second after a 100,000-row grid was emptied. Called once, at the start of
// the process.
void kMergeFreedBlocksAtOnce();
