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
