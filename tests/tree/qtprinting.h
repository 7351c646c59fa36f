#pragma once

// Lets the tests show texts in their failure messages.

#include <QString>
#include <QStringList>

#include <ostream>

inline std::ostream& operator<<(std::ostream& out, const QString& text) {
    return out << text.toStdString();
}

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '[' << texts.join(u"|").toStdString() << ']';
}
