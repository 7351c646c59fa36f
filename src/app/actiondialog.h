#pragma once

// The "Action Script Dialog (for QA and Development)": a scratch pad in which
// a tester writes, loads, saves and runs action scripts, one action per line,
// beside the two help tables of the action language. Double-clicking a help
// row writes it into the pad. The pad and the script's file name outlive the
// dialog for the whole run, so reopening it shows the same script.
//
// The pad holds "\n" lines; a carriage return from a file written on
// Windows is dropped when it is loaded.

#include "settings/filedeleter.h"

#include <QDialog>
#include <QString>

#include <functional>

class CTheApp;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The pad's text and the current script file, kept between openings.
extern QString g_ActionScratchPad;
extern QString g_ActionScriptPath;

class CActionDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 496;

    // Asks for a file to open (open = true) or save, starting at the initial
    // name; false when cancelled.
    using FilePrompt =
        std::function<bool(bool open, QString& path, const QString& initialName, QWidget* parent)>;

    explicit CActionDialog(CTheApp& app, QWidget* parent = nullptr);

    QPlainTextEdit& Pad() { return *m_pad; }
    // List 5563: what an action list's entries may be; list 5468: the commands.
    QTreeWidget& ListHelp() { return *m_listHelp; }
    QTreeWidget& CommandHelp() { return *m_commandHelp; }
    QPushButton& HistoryButton() { return *m_historyButton; }
    QPushButton& RunButton() { return *m_runButton; }
    QPushButton& LoadButton() { return *m_loadButton; }
    QPushButton& SaveButton() { return *m_saveButton; }
    QPushButton& DocumentationButton() { return *m_documentationButton; }

    // Tests answer the file dialogs and the read-only question themselves.
    void SetFilePrompt(FilePrompt prompt) { m_filePrompt = std::move(prompt); }
    void SetReadOnlyQuestion(CFileDeleter::ReadOnlyQuestion question) {
        m_readOnlyQuestion = std::move(question);
    }

    // The buttons.
    void OnLoadHistory();
    // False when the temporary script could not be written.
    bool OnRunScript();
    void OnLoadFile();
    // True when the pad was written to the chosen file.
    bool OnSaveFile();
    void OnOpenDocumentation();

    // Writes the text into the pad as a line after the caret's line, or in
    // place of the whole lines a selection touches.
    void InsertLine(const QString& text);

private:
    void refresh();
    QString promptStartName() const;
    bool mayReplace(const QString& path);
    void onHelpRowActivated(QTreeWidget* list, QTreeWidgetItem* item);

    CTheApp& m_app;
    QPlainTextEdit* m_pad;
    QTreeWidget* m_listHelp;
    QTreeWidget* m_commandHelp;
    QPushButton* m_historyButton;
    QPushButton* m_runButton;
    QPushButton* m_loadButton;
    QPushButton* m_saveButton;
    QPushButton* m_documentationButton;
    FilePrompt m_filePrompt;
    CFileDeleter::ReadOnlyQuestion m_readOnlyQuestion;
};
