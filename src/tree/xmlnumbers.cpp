#include "tree/xmlnumbers.h"

#include <limits>

qint64 XmlDecimal64(QStringView text) {
    text = text.trimmed();
    qsizetype end = 0;
    if (end < text.size() && (text[end] == u'-' || text[end] == u'+')) {
        ++end;
    }
    while (end < text.size() && text[end] >= u'0' && text[end] <= u'9') {
        ++end;
    }
    bool ok = false;
    const qint64 value = text.first(end).toLongLong(&ok);
    return ok ? value : 0;
}

int XmlDecimal(QStringView text) {
    const qint64 value = XmlDecimal64(text);
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return 0;
    }
    return static_cast<int>(value);
}
