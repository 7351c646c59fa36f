#include "net/xmltext.h"

#include "framework/klog.h"

namespace {

// Whether the character after a tag's name ends the name.
bool endsElementName(const QString& text, qsizetype position) {
    if (position >= text.size()) {
        return false;
    }
    const QChar next = text.at(position);
    return next == u'>' || next == u'/' || next.isSpace();
}

qsizetype findStartTag(const QString& text, const QString& tag) {
    const QString opening = u'<' + tag;
    for (qsizetype at = text.indexOf(opening); at >= 0; at = text.indexOf(opening, at + 1)) {
        if (endsElementName(text, at + opening.size())) {
            return at;
        }
    }
    return -1;
}

}  // namespace

QString XmlSimpleValue(const QString& text, const QString& tag, bool whole) {
    const qsizetype start = findStartTag(text, tag);
    if (start < 0) {
        return {};
    }
    const QString closing = QStringLiteral("</") + tag + u'>';
    const qsizetype end = text.indexOf(closing, start);
    if (end < 0) {
        return {};
    }
    if (whole) {
        return text.mid(start, end - start + closing.size());
    }
    const qsizetype contentStart = text.indexOf(u'>', start);
    if (contentStart < 0 || contentStart > end) {
        kDebugLog(u"XmlSimpleValue(): BADLY FORMED XML: %s> ... %s\n", u'<' + tag, closing);
        return {};
    }
    return text.mid(contentStart + 1, end - contentStart - 1);
}

QString XmlEscape(const QString& text) {
    QString escaped = text;
    escaped.replace(u'&', QStringLiteral("&amp;"));
    escaped.replace(u'"', QStringLiteral("&quot;"));
    escaped.replace(u'\'', QStringLiteral("&apos;"));
    escaped.replace(u'<', QStringLiteral("&lt;"));
    escaped.replace(u'>', QStringLiteral("&gt;"));
    return escaped;
}

QString XmlPrepareDocument(const QString& text) {
    static const QString soapBody = QStringLiteral("SOAP:Body");
    QString document = text;
    if (findStartTag(document, soapBody) >= 0) {
        document = XmlSimpleValue(document, soapBody, false);
    }
    // A declaration is valid only at the very start; one further in is data
    // that expat must see (and reject).
    const QStringView content = QStringView(document).trimmed();
    if (content.startsWith(u"<?xml") && content.size() > 5 && content.at(5).isSpace()) {
        const qsizetype declarationEnd = document.indexOf(u"?>");
        if (declarationEnd >= 0) {
            document.remove(0, declarationEnd + 2);
        }
    }
    return document;
}
