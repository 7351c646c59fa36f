#include "grid/gridcolumn.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<QStringView, std::uint32_t>, 28> kGridColumnTokenTexts{{
    {u"[H]", kTokenHidden},
    {u"[LOCKED]", kTokenLocked},
    {u"[PKEY]", kTokenKey},
    {u"[S]", kTokenText},
    {u"[ICON]", kTokenIcon},
    {u"[NS]", kTokenNoSort},
    {u"[TX]", kTokenTranslate},
    {u"[MODE]", kTokenMode},
    {u"[BYTES]", kTokenBytes},
    {u"[KBYTES]", kTokenKBytes},
    {u"[SECS]", kTokenSecs},
    {u"[MINS]", kTokenMins},
    {u"[POLLRATE]", kTokenPollRate},
    {u"[DEVSP]", kTokenDevSpeed},
    {u"[D]", kTokenDouble},
    {u"[DATAHOURS]", kTokenDataHours},
    {u"[N]", kTokenNumber},
    {u"[IP]", kTokenAddress},
    {u"[U]", kTokenUtc},
    {u"[DATE]", kTokenDate},
    {u"[DS]", kTokenDaySeconds},
    {u"[CASE]", kTokenCase},
    {u"[ET]", kTokenElapsed},
    {u"[R]", kTokenRight},
    {u"[L]", kTokenLeft},
    {u"[C]", kTokenCentre},
    {u"[TIME]", kTokenTime},
    {u"[JOBTIME]", kTokenJobTime},
}};

}  // namespace

std::uint32_t GridColumnTokens(QStringView properties) {
    std::uint32_t tokens = 0;
    if (!properties.contains(u'[')) {
        return tokens;
    }
    for (const auto& [text, flag] : kGridColumnTokenTexts) {
        if (properties.contains(text)) {
            tokens |= flag;
        }
    }
    return tokens;
}

std::uint32_t GridColumnTokenFlag(QStringView token) {
    for (const auto& [text, flag] : kGridColumnTokenTexts) {
        if (text == token) {
            return flag;
        }
    }
    return 0;
}

bool GridColumn::HasToken(QStringView token) const {
    const std::uint32_t flag = GridColumnTokenFlag(token);
    return flag != 0 ? Has(flag) : colprops.contains(token);
}

void GridColumn::AppendProps(const QString& text) {
    colprops += text;
    propsCopy = text.left(50);
    tokens = GridColumnTokens(colprops);
}
