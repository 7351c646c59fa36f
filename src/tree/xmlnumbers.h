#pragma once

// Numbers in the attributes of tree XML: the leading decimal number of the
// text (an optional sign and digits after leading blanks), 0 when there is
// none or it does not fit.

#include <QStringView>

int XmlDecimal(QStringView text);
qint64 XmlDecimal64(QStringView text);
