#include "gridctrl/gridtextkey.h"

#include <algorithm>

GridTextKey::GridTextKey(QStringView text, qsizetype shared) : text(text) {
    constexpr qsizetype kHeadUnits = 4;
    for (qsizetype at = shared; at < shared + kHeadUnits; ++at) {
        head = (head << 16) | (at < text.size() ? text[at].unicode() : 0U);
    }
}

qsizetype SharedTextPrefix(QStringView text, QStringView other, qsizetype most) {
    most = std::min({most, text.size(), other.size()});
    return std::mismatch(text.begin(), text.begin() + most, other.begin()).first - text.begin();
}
