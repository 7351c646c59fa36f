#pragma once

// The language pack: every text the user sees passes through it. It maps the
// program's own English text (or a structured key such as "104002:OmET") to
// the text to show; a text the pack does not hold is shown unchanged, so an
// empty or partial pack never hides anything. It is filled from a built-in
// table at start-up and a pack file (UTF-16LE "name=value" lines) may be
// loaded on top of it.
//
// Written only on the UI thread (start-up and the options dialog); the
// action worker only looks texts up. Load and LoadBuiltIn hold the pack's
// lock against Lookup and TranslateText, so a pack reloaded from the options
// dialog is never read half-built; writers must use them, not KPROPS::Add.

#include "framework/kprops.h"

#include <QString>

#include <functional>
#include <memory>
#include <shared_mutex>

class QWidget;

class CLangPack : public KPROPS {
public:
    enum TranslateFlag : unsigned {
        // Line breaks and "<br>" become blanks, double blanks single, and the
        // ends are trimmed before the lookup.
        TranslateNormalise = 0x01,
        // A trailing "(...)" such as a count is kept out of the lookup and put back.
        TranslateKeepParenSuffix = 0x10,
    };

    CLangPack();

    // The pack's value for the text, or the text itself when the pack has no
    // entry of exactly that name (case counts).
    QString Lookup(const QString& text) const;

    // An empty path fills the pack from the built-in table (result 1).
    // Otherwise the file's entries are added on top of the current ones and
    // replace entries of the same name; a file that cannot be read or holds a
    // malformed line shows "Could not load language pack:" with the path in
    // the error box and gives 0, keeping every entry that did load.
    int Load(const QString& path);
    // Adds the built-in table and then the texts of the menu resources.
    int LoadBuiltIn();

    // Translates the text in place; see TranslateFlag. A pack value may
    // hold "<br>" for a line break. 1 when the text was changed or translated.
    int TranslateText(QString& text, unsigned flags) const;

    // Loads string resource `id` and translates it; a missing resource gives
    // "IDS=<id>" and 0. Otherwise the result of TranslateText.
    int LoadResString(QString& text, unsigned id) const;
    // Appends the translated string resource; a missing one appends nothing.
    // 1 only when the resource was loaded and translated.
    int AppendResString(QString& text, unsigned id) const;
    // Sets the text of a label, button, group box, line edit or text edit, or
    // the title of a window, from a translated string resource.
    int SetWindowTextFromRes(QWidget* window, unsigned id) const;
    // The same with a text of the program's own.
    int SetWindowTextTranslated(QWidget* window, const QString& text) const;

    // Translates every item of a menu or menu bar and of its submenus; result
    // 1. The lookup is of the text without "&" and without the "\t"
    // accelerator label; a translated item shows the translation and the same
    // accelerator label, an untranslated one keeps its text and mnemonic.
    int TranslateMenu(QWidget* menu) const;

    // Whether a pack file is in use on top of the built-in texts.
    bool IsFileLoaded() const { return m_fileLoaded; }
    // The text of the last load failure; empty after a good load.
    QString LastError() const { return m_lastError; }

    // Where load failures are shown; the application installs its error box.
    // Until then failures go to the log.
    void SetErrorBox(std::function<void(const QString&)> errorBox);

private:
    // Held by pointer so that a pack stays movable.
    std::unique_ptr<std::shared_mutex> m_lock = std::make_unique<std::shared_mutex>();
    std::function<void(const QString&)> m_errorBox;
    QString m_lastError;
    bool m_fileLoaded = false;
};

// Splits a text at its last "(" that is not at position 0 into the trimmed
// head and the "(...)" tail. 0, with head and tail untouched, when there is none.
int SplitParenSuffix(const QString& text, QString& head, QString& tail);

// The pack of the application object, for code that has no other way to reach
// it (formatters running on any thread). The application registers its pack at
// start-up; without one, lookups give the text itself.
void SetActiveLangPack(const CLangPack* pack);
const CLangPack* ActiveLangPack();
QString LangLookup(const QString& text);
