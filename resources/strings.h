#pragma once

// The program's string table: every numbered text that windows, boxes and
// panels show. The texts are English; callers show them through the language
// pack (CLangPack::LoadResString), which translates them.

#include <QString>

#include <span>

struct StringResource {
    unsigned id;
    const char16_t* text;
};

// Every entry of the table, in ascending id order.
std::span<const StringResource> AllResourceStrings();

// The text of string resource `id`, or a null QString when the table has no
// such entry (an entry may hold an empty text, which is not null).
QString LoadResourceString(unsigned id);

// Command entries hold a status-bar prompt and, after a line break, the
// tooltip ("Stop the current activity\nStop"). Both are empty when the command
// has no entry; the tip is empty when the entry has no line break.
QString CommandPrompt(unsigned commandId);
QString CommandTip(unsigned commandId);
