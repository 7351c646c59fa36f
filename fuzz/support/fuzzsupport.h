#pragma once

// What every fuzz target shares: a QApplication on the offscreen platform,
// a home folder of its own and a silent log, made once before the first
// input by the LLVMFuzzerInitialize hook that this library defines; and a
// scratch file to hand file readers their input. The wire services of a
// fuzz run show no box, run no action and reach no server, so no input opens
// a window or goes anywhere.

#include <QString>

#include <cstddef>
#include <cstdint>

// A private folder for this process, made before the first input.
const QString& FuzzFolder();

// Writes the input to a file in FuzzFolder() and returns its path.
QString WriteFuzzFile(const QString& name, const uint8_t* data, size_t size);

// The input read as UTF-8, as the program reads replies and files.
QString FuzzText(const uint8_t* data, size_t size);
