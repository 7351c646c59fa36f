#include "tree/treetexts.h"

#include "resources/strings.h"
#include "settings/langpack.h"

namespace {

constexpr unsigned kWorldViewString = 513;
constexpr unsigned kEmptyCountString = 560;

}  // namespace

QString TranslatedResourceString(unsigned id) {
    QString text;
    if (const CLangPack* pack = ActiveLangPack()) {
        pack->LoadResString(text, id);
    } else {
        text = LoadResourceString(id);
    }
    return text;
}

QString WorldViewText() {
    return TranslatedResourceString(kWorldViewString);
}

QString EmptyCountText() {
    return TranslatedResourceString(kEmptyCountString);
}

QString LookupText(const QString& text) {
    return LangLookup(text);
}

QString TranslateLabel(const QString& text) {
    QString translated = text;
    if (const CLangPack* pack = ActiveLangPack()) {
        pack->TranslateText(translated, CLangPack::TranslateKeepParenSuffix);
    }
    return translated;
}
