#pragma once

// Whole-file reads and writes of text files, and the existence test the rest
// of the program uses for paths.

#include <QString>

// Writes the text as UTF-8 (no byte-order mark), replacing the file
// atomically: a failed write keeps the old file. 1, or 0 on failure.
int WriteStringToFile(const QString& path, const QString& text);
int WriteEntireFile(const QString& path, const QString& text);

// Reads a whole UTF-8 text file (a carriage return before a line feed is
// dropped) into the output; 0 for an empty path or an unreadable file.
int ReadTextFile(const QString& path, QString& output);

// Reads a whole UTF-8 file into the output. A file that is not valid UTF-8 is
// read as Latin-1 instead. The text keeps its XML declaration untouched: an
// XML reader hands it to expat as UTF-8 (QString::toUtf8) with "UTF-8" as the
// parser's encoding, which overrides the declaration however it is written.
// A byte-order mark stays as U+FEFF. 0 for an empty or unreadable path.
int ReadEntireUTF8File(const QString& path, QString& output);

// 1 when the path exists (a symbolic link counts, even a dangling one); 0
// when it or a folder on the way is missing or the name is too long; 1 for
// any other failure, such as a folder that may not be searched.
int PathExists(const QString& path);
