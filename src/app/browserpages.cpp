#include "app/browserpages.h"

#include "frame/webpage.h"
#include "framework/kformat.h"
#include "framework/kprops.h"
#include "framework/ktext.h"
#include "net/xmltext.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr int kMaxPostedPairs = 1000;

using Values = std::vector<std::pair<QString, QString>>;

// One pass over the text, so that a value holding a marker stays as it is.
QString substituted(QStringView text, const Values& values) {
    QString out;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype marker = text.indexOf(u"{{V=", at);
        if (marker < 0) {
            break;
        }
        out += text.mid(at, marker - at);
        const auto known = std::find_if(values.begin(), values.end(), [&](const auto& value) {
            return text.mid(marker).startsWith(value.first);
        });
        if (known == values.end()) {
            out += u'{';
            at = marker + 1;
            continue;
        }
        out += known->second;
        at = marker + known->first.size();
    }
    out += text.mid(at);
    return out;
}

}  // namespace

QString AutoPostPage(const QString& url, const QString& title) {
    const qsizetype query = url.indexOf(u'?');
    const QString action = query < 0 ? url : url.left(query);
    QString page = kFormat(u"<html><head><title>%s</title></head><body>\n", XmlEscape(title));
    page +=
        QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n");
    page +=
        kFormat(u"<form name='PostMe' id='PostMe' method='post' action='%s'>\n", XmlEscape(action));
    std::vector<KNVP> pairs;
    if (query >= 0) {
        kParseNameValuePairs(QStringView(url).mid(query + 1), pairs, kMaxPostedPairs, u'&', u'=');
    }
    for (const KNVP& pair : pairs) {
        page += kFormat(u"\t<input type='hidden' name='%s' value='%s'>\n", XmlEscape(pair.name),
                        XmlEscape(pair.value));
    }
    page += QStringLiteral("</form>\n");
    page += QStringLiteral("<script language='JavaScript'>document.PostMe.submit();</script>\n");
    page += QStringLiteral("</body></html>\n");
    return page;
}

QString ScriptPage(const QString& script) {
    return kFormat(
        u"<html>\n<head></head>\n<body>\n<script language=JavaScript>\n%s\n</script>\n</body>\n"
        u"</html>\n",
        script);
}

QString WindowOpenScript(const QString& url, const QString& name, const QString& features) {
    return kFormat(u"window.open (%s, %s, %s);\n", JavaScriptString(url), JavaScriptString(name),
                   JavaScriptString(features));
}

QString PropertiesPage(const QString& templateText, const KPROPS& properties, const QString& title,
                       const QString& startUrl, const QString& closeLink) {
    static const QString begin = QStringLiteral("{{beg:row}}");
    static const QString end = QStringLiteral("{{end:row}}");
    Values values{{QStringLiteral("{{V=TITLE}}"), XmlEscape(title)},
                  {QStringLiteral("{{V=STARTURL}}"), XmlEscape(startUrl)},
                  {QStringLiteral("{{V=CLOSE}}"), closeLink}};
    const qsizetype rowStart = templateText.indexOf(begin);
    const qsizetype rowEnd = rowStart < 0 ? -1 : templateText.indexOf(end, rowStart);
    if (rowEnd < 0) {
        return substituted(templateText, values);
    }
    QString page = substituted(QStringView(templateText).left(rowStart), values);
    const QStringView row =
        QStringView(templateText).mid(rowStart + begin.size(), rowEnd - rowStart - begin.size());
    values.emplace_back(QStringLiteral("{{V=LABEL}}"), QString());
    values.emplace_back(QStringLiteral("{{V=VALUE}}"), QString());
    for (int i = 0; i < properties.Count(); ++i) {
        values[3].second = XmlEscape(properties.GetNameAt(i));
        values[4].second = XmlEscape(properties.GetValueAt(i));
        page += substituted(row, values);
    }
    values.resize(3);
    return page + substituted(QStringView(templateText).mid(rowEnd + end.size()), values);
}
