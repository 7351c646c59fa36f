#pragma once

// Reference translations for the language-pack editor from two public web
// translation services. Each is a plain GET of a translation page with the
// text and the language pair in the query; the translation is cut out of the
// reply's HTML between fixed markers, and the services' language pages list
// the pairs they offer as option elements. Where the services live is a
// setting of each (an empty address turns the service off). These calls
// block: the editor makes them on a worker thread, each with its own wire.

#include <QString>

#include <functional>
#include <vector>

class CMyWire;
class CPreferences;

struct TranslationService {
    QString name;                   // as the program's texts call it
    QString translationAddressKey;  // setting: the translation page
    QString languagesAddressKey;    // setting: the page listing the pairs
    QString lastLanguageKey;        // setting: the pair chosen last
    QString startMarker;
    QString endMarker;
    QString optionPrefix;  // of the wanted option values
    // The query of a translation, text and pair already encoded.
    std::function<QString(const QString& pair, const QString& text)> query;
};

const TranslationService& BabelfishService();
const TranslationService& GoogleService();

struct LanguageOption {
    QString label;  // "French"
    QString code;   // the prefix and the service's code: "en_fr"
};

// The outcome of a fetch; the message is what the user is shown on failure.
struct TranslationResult {
    bool ok = false;
    QString message;
};

// The translation and language addresses of a service; empty when it is off.
QString TranslationAddress(const CPreferences& prefs, const TranslationService& service);
QString LanguagesAddress(const CPreferences& prefs, const TranslationService& service);

// Replaces the text by the service's translation. On failure the text stays
// and the result holds "[LangPack-WIP] ..." for the error box; a reply
// without the markers is kept in DebugMe.txt in the settings folder.
TranslationResult FetchTranslation(CMyWire& wire, const TranslationService& service,
                                   const QString& address, const QString& pair, QString& text);

// Adds the service's language pairs to the list (labels already in it are
// skipped). `cancelled` is asked before each option; a cancel gives a
// failure without a message.
TranslationResult FetchLanguages(CMyWire& wire, const TranslationService& service,
                                 const QString& address, std::vector<LanguageOption>& options,
                                 const std::function<bool()>& cancelled);

// The option elements of a page whose value begins with the prefix, as
// label and prefix + code; "English to " and "&nbsp;" are taken out of the
// labels and a label already listed is skipped. 0 when cancelled.
int ParseLanguageOptions(const QString& page, const QString& prefix,
                         std::vector<LanguageOption>& options,
                         const std::function<bool()>& cancelled);

// The text with its HTML character references (named, decimal and
// hexadecimal) turned into characters.
QString DecodeHtmlText(const QString& html);
