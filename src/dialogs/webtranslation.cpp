#include "dialogs/webtranslation.h"

#include "framework/kformat.h"
#include "net/mywire.h"
#include "settings/preferences.h"
#include "settings/settingsfolder.h"
#include "settings/urlcoding.h"
#include "settings/wholefile.h"

#include <QRegularExpression>

namespace {

QString debugFilePath() {
    return Getlocalsettingsdir() + QStringLiteral("/DebugMe.txt");
}

TranslationResult parseFailure(const QString& url, const QString& page) {
    const QString path = debugFilePath();
    WriteEntireFile(path, page);
    return {false, kFormat(u"[LangPack-WIP] Could not parse web page:\n%s\n(saved to %s for "
                           u"debugging)",
                           url, path)};
}

QString withQuery(const QString& address, const QString& query) {
    return address + (address.contains(u'?') ? u'&' : u'?') + query;
}

}  // namespace

const TranslationService& BabelfishService() {
    static const TranslationService service{
        QStringLiteral("Babelfish"),
        QStringLiteral("LangPack:BabelfishURL"),
        QStringLiteral("LangPack:BabelfishLanguagesURL"),
        QStringLiteral("LangPack:LastBabelfish"),
        QStringLiteral("<td bgcolor=white class=s><div style=padding:10px;>"),
        QStringLiteral("</div></td>"),
        QStringLiteral("en_"),
        [](const QString& pair, const QString& text) {
            return QStringLiteral("doit=done&intl=1&lp=") + pair + QStringLiteral("&urltext=") +
                   text;
        }};
    return service;
}

const TranslationService& GoogleService() {
    static const TranslationService service{
        QStringLiteral("Google"),
        QStringLiteral("LangPack:GoogleURL"),
        QStringLiteral("LangPack:GoogleLanguagesURL"),
        QStringLiteral("LangPack:LastGoogle"),
        QStringLiteral("wrap=PHYSICAL>"),
        QStringLiteral("</textarea>"),
        QStringLiteral("en|"),
        [](const QString& pair, const QString& text) {
            return QStringLiteral("text=") + text + QStringLiteral("&langpair=") + pair +
                   QStringLiteral("&hl=en&ie=UTF8");
        }};
    return service;
}

QString TranslationAddress(const CPreferences& prefs, const TranslationService& service) {
    return prefs.GetString(service.translationAddressKey).trimmed();
}

QString LanguagesAddress(const CPreferences& prefs, const TranslationService& service) {
    return prefs.GetString(service.languagesAddressKey).trimmed();
}

QString DecodeHtmlText(const QString& html) {
    static const QRegularExpression reference(QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|"
                                                             "amp|lt|gt|quot|apos|nbsp);"));
    QString decoded;
    qsizetype from = 0;
    QRegularExpressionMatchIterator matches = reference.globalMatch(html);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        decoded += QStringView(html).mid(from, match.capturedStart() - from);
        from = match.capturedEnd();
        const QString name = match.captured(1);
        if (name.startsWith(u'#')) {
            const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
            bool ok = false;
            const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok && code != 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                const char32_t character = code;
                decoded += QString::fromUcs4(&character, 1);
            } else {
                decoded += match.captured(0);
            }
            continue;
        }
        static const std::initializer_list<std::pair<QStringView, QChar>> kNamed{
            {u"amp", u'&'}, {u"lt", u'<'},   {u"gt", u'>'},
            {u"quot", u'"'}, {u"apos", u'\''}, {u"nbsp", QChar(0xA0)}};
        for (const auto& [entity, character] : kNamed) {
            if (name == entity) {
                decoded += character;
            }
        }
    }
    decoded += QStringView(html).mid(from);
    return decoded;
}

TranslationResult FetchTranslation(CMyWire& wire, const TranslationService& service,
                                   const QString& address, const QString& pair, QString& text) {
    const QString url =
        withQuery(address, service.query(EncodeForURL(pair), EncodeForURL(text)));
    QString page;
    if (!wire.CaptureDocument(url, QString(), QString(), page, false)) {
        return {false, kFormat(u"[LangPack-WIP] Could not load page: %s", url)};
    }
    const qsizetype start = page.indexOf(service.startMarker);
    const qsizetype end =
        start < 0 ? -1 : page.indexOf(service.endMarker, start + service.startMarker.size());
    if (end < 0) {
        return parseFailure(url, page);
    }
    const qsizetype from = start + service.startMarker.size();
    text = DecodeHtmlText(page.mid(from, end - from));
    return {true, {}};
}

int ParseLanguageOptions(const QString& page, const QString& prefix,
                         std::vector<LanguageOption>& options,
                         const std::function<bool()>& cancelled) {
    QString text = page;
    text.replace(u'\t', u' ');
    const QString opening = QStringLiteral("<option value=\"") + prefix;
    qsizetype at = 0;
    while ((at = text.indexOf(opening, at)) >= 0) {
        if (cancelled && cancelled()) {
            return 0;
        }
        const qsizetype codeStart = at + opening.size();
        const qsizetype quote = text.indexOf(u'"', codeStart);
        const qsizetype tagEnd = quote < 0 ? -1 : text.indexOf(u'>', quote);
        const qsizetype close = tagEnd < 0 ? -1 : text.indexOf(u"</option>", tagEnd);
        if (close < 0) {
            break;
        }
        const QString code = text.mid(codeStart, quote - codeStart);
        QString label = text.mid(tagEnd + 1, close - tagEnd - 1);
        label.remove(QStringLiteral("English to "));
        label.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
        label = DecodeHtmlText(label);
        const bool listed = std::any_of(options.begin(), options.end(),
                                        [&label](const LanguageOption& option) {
                                            return option.label == label;
                                        });
        if (!listed) {
            options.push_back({label, prefix + code});
        }
        at = close;
    }
    return 1;
}

TranslationResult FetchLanguages(CMyWire& wire, const TranslationService& service,
                                 const QString& address, std::vector<LanguageOption>& options,
                                 const std::function<bool()>& cancelled) {
    QString page;
    if (!wire.CaptureDocument(address, QString(), QString(), page, false)) {
        return {false, kFormat(u"Could not capture web page:\n  %s", address)};
    }
    const size_t before = options.size();
    if (ParseLanguageOptions(page, service.optionPrefix, options, cancelled) == 0) {
        return {false, {}};
    }
    if (options.size() == before) {
        return parseFailure(address, page);
    }
    return {true, {}};
}
