#include "settings/langpack.h"

#include "framework/klog.h"
#include "resources/menus.h"
#include "resources/strings.h"
#include "resources/vocabulary.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <atomic>

namespace {

// The string resource of the application's title.
constexpr unsigned kAppTitleString = 57344;

// Menu item texts are read up to this length, as the menus always were.
constexpr qsizetype kMaxMenuTextLength = 1024;

std::atomic<const CLangPack*> g_activeLangPack{nullptr};

struct BuiltInPair {
    const char16_t* name;
    const char16_t* value;
};

// clang-format off
constexpr BuiltInPair kLeadingEntries[] = {
    {u"yes", u"Yes"}, {u"no", u"No"},
    {u"Yes", u"Yes"}, {u"No", u"No"}, {u"AM", u"AM"}, {u"PM", u"PM"},
    {u"Properties:MENU", u"Properties"},
};
constexpr BuiltInPair kTrailingEntries[] = {
    {u"Retired:NmsState", u"Retired"}, {u"Deleted:NmsState", u"Deleted"},
    {u"Active:NmsState", u"Active"},
    {u"73000:Latency", u"Poller to Device"}, {u"73001:Latency", u"Device to Partner"},
    {u"73002:Latency", u"Disabled"},
    {u"60000:Access", u"Locally Connected"}, {u"60001:Access", u"Remotely Connected"},
    {u"60002:Access", u"Both"},
    {u"year", u"year"}, {u"years", u"years"}, {u"month", u"month"}, {u"months", u"months"},
    {u"day", u"day"}, {u"days", u"days"}, {u"hour", u"hour"}, {u"hours", u"hours"},
    {u"min", u"min"}, {u"mins", u"mins"}, {u"sec", u"sec"}, {u"secs", u"secs"},
    {u"World View", u"World View"},
};
// clang-format on

void addPairs(KPROPS& pack, std::span<const BuiltInPair> pairs) {
    for (const BuiltInPair& pair : pairs) {
        pack.Add(QString::fromUtf16(pair.name), QString::fromUtf16(pair.value));
    }
}

// The key of a menu item's text: without "&" and without the part from the
// first tab on.
QString menuTextKey(const char16_t* text) {
    QString key = QString::fromUtf16(text);
    key.remove(u'&');
    const qsizetype tab = key.indexOf(u'\t');
    return tab < 0 ? key : key.left(tab);
}

void addMenuTexts(KPROPS& pack, std::span<const MenuItemResource> items) {
    for (const MenuItemResource& item : items) {
        if (item.flags & MenuItemSeparator) {
            continue;
        }
        const QString key = menuTextKey(item.text);
        pack.Add(key, key);
        if (item.flags & MenuItemPopup) {
            addMenuTexts(pack, item.popup);
        }
    }
}

void normaliseText(QString& text) {
    text.replace(u"\n\r"_qs, u"\n"_qs);
    text.replace(u"\r\n"_qs, u"\n"_qs);
    text.replace(u"<br>"_qs, u"\n"_qs);
    text.replace(u'\n', u' ');
    text.replace(u"  "_qs, u" "_qs);
    text = text.trimmed();
}

void setWidgetText(QWidget* window, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(window)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(window)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(window)) {
        group->setTitle(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(window)) {
        edit->setText(text);
    } else if (auto* plainEdit = qobject_cast<QPlainTextEdit*>(window)) {
        plainEdit->setPlainText(text);
    } else if (auto* textEdit = qobject_cast<QTextEdit*>(window)) {
        textEdit->setPlainText(text);
    } else {
        window->setWindowTitle(text);
    }
}

}  // namespace

int SplitParenSuffix(const QString& text, QString& head, QString& tail) {
    const qsizetype paren = text.lastIndexOf(u'(');
    if (paren <= 0) {
        return 0;
    }
    head = text.left(paren).trimmed();
    tail = text.mid(paren);
    return 1;
}

CLangPack::CLangPack() : KPROPS(100, 10) {}

QString CLangPack::Lookup(const QString& text) const {
    const std::shared_lock lock(*m_lock);
    const int index = FindIndex(text, false);
    return index < 0 ? text : GetValueAt(index);
}

int CLangPack::Load(const QString& path) {
    if (path.isEmpty()) {
        return LoadBuiltIn();
    }
    m_fileLoaded = m_fileLoaded || QFileInfo::exists(path);
    int loaded = 0;
    {
        // A line break in a name is written as "<br>", as in a value, so that
        // it cannot split its line; the pack's names hold the break itself.
        KPROPS file(100, 10);
        loaded = file.FileLoad(path, true);
        const std::unique_lock lock(*m_lock);
        for (int i = 0; i < file.Count(); ++i) {
            const KPROP* entry = file.At(i);
            QString name = entry->name;
            name.replace(u"<br>"_qs, u"\n"_qs);
            Add(name, entry->value);
        }
    }
    // The error box may translate texts, so it runs without the lock.
    if (loaded) {
        m_lastError.clear();
        return 1;
    }
    m_lastError = kFormat(u"Could not load language pack:\n   %s\n", path);
    if (m_errorBox) {
        m_errorBox(m_lastError);
    } else {
        kErrorLog(u"%s", m_lastError);
    }
    return 0;
}

int CLangPack::LoadBuiltIn() {
    const std::unique_lock lock(*m_lock);
    addPairs(*this, kLeadingEntries);
    for (const ElementTypeResource& type : ElementTypes()) {
        Add(kFormat(u"%u:OmET", type.number), QString::fromUtf16(type.displayName));
    }
    for (const ElementTypeResource& type : ElementTypes()) {
        Add(kFormat(u"%s:OmET", type.typeName), QString::fromUtf16(type.displayName));
    }
    addPairs(*this, kTrailingEntries);
    // The application title that heads printed pages and names print jobs.
    Add(u"AFX_IDS_APP_TITLE"_qs, LoadResourceString(kAppTitleString));
    for (const VocabularyResource& entry : ServerVocabulary()) {
        Add(QString::fromUtf16(entry.key), QString::fromUtf16(entry.text));
    }
    for (const MenuResource& menu : AllMenuResources()) {
        addMenuTexts(*this, menu.items);
    }
    return 1;
}

int CLangPack::TranslateText(QString& text, unsigned flags) const {
    int result = 0;
    QString tail;
    if (flags & TranslateKeepParenSuffix) {
        QString head;
        if (SplitParenSuffix(text, head, tail)) {
            text = head;
            result = 1;
        }
    }
    if (flags & TranslateNormalise) {
        QString normalised = text;
        normaliseText(normalised);
        if (normalised != text) {
            text = normalised;
            result = 1;
        }
    }
    // A later entry may translate the result of an earlier one, never the
    // other way round: each step looks only at entries after the last match.
    const std::shared_lock lock(*m_lock);
    for (int next = 0;;) {
        const int index = FindIndex(text, false);
        if (index < next) {
            break;
        }
        text = GetValueAt(index);
        next = index + 1;
        result = 1;
    }
    text.replace(u"<br>"_qs, u"\n"_qs);
    if (!tail.isEmpty()) {
        text += u' ' + tail;
    }
    return result;
}

int CLangPack::LoadResString(QString& text, unsigned id) const {
    text = LoadResourceString(id);
    if (text.isNull()) {
        text = kFormat(u"IDS=%u", id);
        return 0;
    }
    return TranslateText(text, 0);
}

int CLangPack::AppendResString(QString& text, unsigned id) const {
    QString resource = LoadResourceString(id);
    if (resource.isNull()) {
        return 0;
    }
    const int translated = TranslateText(resource, 0);
    text += resource;
    return translated;
}

int CLangPack::SetWindowTextFromRes(QWidget* window, unsigned id) const {
    QString text;
    const int result = LoadResString(text, id);
    setWidgetText(window, text);
    return result;
}

int CLangPack::SetWindowTextTranslated(QWidget* window, const QString& text) const {
    QString translated = text;
    const int result = TranslateText(translated, 0);
    setWidgetText(window, translated);
    return result;
}

int CLangPack::TranslateMenu(QWidget* menu) const {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        const QString original = action->text().left(kMaxMenuTextLength);
        QString label = original;
        label.remove(u'&');
        QString accelerator;
        if (const qsizetype tab = label.indexOf(u'\t'); tab > 0) {
            accelerator = label.mid(tab);
            label.truncate(tab);
        }
        action->setText(TranslateText(label, 0) ? label + accelerator : original);
        if (QMenu* submenu = action->menu<QMenu*>()) {
            TranslateMenu(submenu);
        }
    }
    return 1;
}

void CLangPack::SetErrorBox(std::function<void(const QString&)> errorBox) {
    m_errorBox = std::move(errorBox);
}

void SetActiveLangPack(const CLangPack* pack) {
    g_activeLangPack.store(pack);
}

const CLangPack* ActiveLangPack() {
    return g_activeLangPack.load();
}

QString LangLookup(const QString& text) {
    const CLangPack* pack = ActiveLangPack();
    return pack ? pack->Lookup(text) : text;
}
