#include "settings/texttools.h"

#include "framework/kformat.h"

#include <QAction>
#include <QMenu>

QString ExtractTag(QStringView text, QStringView tag, bool wholeElement) {
    const QString openTag = kFormat(u"<%s", tag);
    const QString closeTag = kFormat(u"</%s>", tag);
    const qsizetype open = text.indexOf(openTag);
    const qsizetype close = text.indexOf(closeTag);
    if (open < 0 || close < 0) {
        return {};
    }
    if (wholeElement) {
        return close < open ? QString() : text.mid(open, close + closeTag.size() - open).toString();
    }
    const qsizetype contentStart = text.indexOf(u'>', open) + 1;
    if (contentStart == 0 || close < contentStart) {
        return {};
    }
    return text.mid(contentStart, close - contentStart).toString();
}

void DecodeNewlines(QString& text) {
    text.replace(QStringLiteral("%0a"), QStringLiteral("\n"));
    text.replace(QStringLiteral("%0d"), QStringLiteral("\r"));
}

int FindMenuItemByText(const QMenu& menu, const QString& text) {
    const QList<QAction*> items = menu.actions();
    for (qsizetype position = 0; position < items.size(); ++position) {
        if (items[position]->text() == text) {
            return static_cast<int>(position);
        }
    }
    return -1;
}
