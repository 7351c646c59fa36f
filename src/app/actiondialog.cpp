#include "app/actiondialog.h"

#include "app/actionhelp.h"
#include "app/actionwindows.h"
#include "app/history.h"
#include "app/theapp.h"
#include "framework/kformat.h"
#include "framework/kpath.h"
#include "platform/paths.h"
#include "settings/promptforfile.h"
#include "settings/settingsfolder.h"
#include "settings/wholefile.h"
#include "ui/busycursor.h"

#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTreeWidget>
#include <QUrl>

QString g_ActionScratchPad;
QString g_ActionScriptPath;

namespace {

constexpr char16_t kActionScriptFilter[] = u"Action Script File (*.curl)|*.curl|All Files|*.*||";

QPushButton* actionDialogButton(QWidget* parent, const QString& text, int id) {
    auto* button = new QPushButton(text, parent);
    button->setProperty("controlId", id);
    return button;
}

QTreeWidget* actionHelpList(QWidget* parent, int id) {
    auto* list = new QTreeWidget(parent);
    list->setProperty("controlId", id);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    return list;
}

// "\r\n" and "\n\r" both end one line.
QString withPlainLineEnds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    return text;
}

bool promptWithFileDialog(bool open, QString& path, const QString& initialName, QWidget* parent) {
    return PromptForFile(open, path, initialName, QStringLiteral("curl"),
                         QString::fromUtf16(kActionScriptFilter), parent);
}

}  // namespace

CActionDialog::CActionDialog(CTheApp& app, QWidget* parent)
    : QDialog(parent),
      m_app(app),
      m_filePrompt(&promptWithFileDialog),
      m_readOnlyQuestion(&CFileDeleter::AskWithMessageBox) {
    setWindowTitle(QStringLiteral("Action Script Dialog (for QA and Development)"));
    setProperty("templateId", kTemplateId);
    if (g_ActionScratchPad.isEmpty()) {
        g_ActionScratchPad = QStringLiteral("curl:yesno=Are you breathing?");
    }
    if (g_ActionScriptPath.isEmpty()) {
        g_ActionScriptPath = PathJoin(Getlocalsettingsdir(), u"actions.curl");
    }

    m_pad = new QPlainTextEdit(this);
    m_pad->setProperty("controlId", 5560);
    m_pad->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pad->setFont(app.FixedFont());
    m_listHelp = actionHelpList(this, 5563);
    m_commandHelp = actionHelpList(this, 5468);
    m_historyButton = actionDialogButton(this, {}, 5576);
    m_runButton = actionDialogButton(this, QStringLiteral("&Run Script"), 5129);
    m_loadButton = actionDialogButton(this, QStringLiteral("Load File..."), 5577);
    m_saveButton = actionDialogButton(this, QStringLiteral("&Save File..."), 5130);
    m_documentationButton =
        actionDialogButton(this, QStringLiteral("Open &Documentation..."), 5578);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button :
         {m_historyButton, m_runButton, m_loadButton, m_saveButton, m_documentationButton}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Action Script Scratch Pad"), this), 0, 0);
    layout->addWidget(m_pad, 1, 0);
    layout->addLayout(buttons, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("CURL Doc (from DOCBOX lines in code)"), this), 2,
                      0, 1, 2);
    layout->addWidget(m_listHelp, 3, 0, 1, 2);
    layout->addWidget(
        new QLabel(QStringLiteral("CURL ACTION Doc (from DOCBOX lines in actual code)"), this), 4,
        0, 1, 2);
    layout->addWidget(m_commandHelp, 5, 0, 1, 2);
    resize(900, 700);

    refresh();
    WriteActionListHelp(*m_listHelp);
    WriteCommandHelp(*m_commandHelp);
    const QStringList titles{LangLookup(QStringLiteral("Name")),
                             LangLookup(QStringLiteral("Comment"))};
    // The name column takes a share of the width; the comment runs on.
    const std::pair<QTreeWidget*, int> shares[] = {{m_listHelp, 5}, {m_commandHelp, 2}};
    for (const auto& [list, share] : shares) {
        list->setHeaderLabels(titles);
        list->setColumnWidth(0, width() / share);
        list->setColumnWidth(1, 5000);
        connect(list, &QTreeWidget::itemDoubleClicked, this,
                [this, list = list](QTreeWidgetItem* item) { onHelpRowActivated(list, item); });
    }

    connect(m_historyButton, &QPushButton::clicked, this, &CActionDialog::OnLoadHistory);
    connect(m_runButton, &QPushButton::clicked, this, [this] { OnRunScript(); });
    connect(m_loadButton, &QPushButton::clicked, this, &CActionDialog::OnLoadFile);
    connect(m_saveButton, &QPushButton::clicked, this, [this] { OnSaveFile(); });
    connect(m_documentationButton, &QPushButton::clicked, this,
            &CActionDialog::OnOpenDocumentation);
    // The pad is the script: whatever is typed survives closing the dialog.
    connect(m_pad, &QPlainTextEdit::textChanged, this,
            [this] { g_ActionScratchPad = m_pad->toPlainText(); });
}

void CActionDialog::refresh() {
    if (m_pad->toPlainText() != g_ActionScratchPad) {
        m_pad->setPlainText(g_ActionScratchPad);
    }
    const int count = m_app.History().HistoryCount();
    m_historyButton->setText(kFormat(u"Load Curl History (%u items)", count));
    m_historyButton->setEnabled(count > 0);
}

void CActionDialog::OnLoadHistory() {
    const CHistory& history = m_app.History();
    QString pad;
    for (int position = 1; position <= history.HistoryCount(); ++position) {
        pad += kFormat(u"curl:%s\n", history.LocatorAt(position));
    }
    g_ActionScratchPad = pad;
    refresh();
}

bool CActionDialog::OnRunScript() {
    g_ActionScratchPad = m_pad->toPlainText();
    const QString path = m_app.MakeTempFilePath(QStringLiteral("curl"));
    if (WriteStringToFile(path, g_ActionScratchPad) == 0) {
        m_app.ErrorBox(QStringLiteral("Failed to write temp file."));
        return false;
    }
    {
        const CBusyCursor busy;
        for (QPushButton* button : {m_runButton, m_historyButton, m_loadButton, m_saveButton}) {
            button->setEnabled(false);
        }
        m_app.RunActionScript(path);
        refresh();
        for (QPushButton* button : {m_runButton, m_loadButton, m_saveButton}) {
            button->setEnabled(true);
        }
    }
    QFile::remove(path);
    return true;
}

QString CActionDialog::promptStartName() const {
    const QString folder =
        IsLocalPath(g_ActionScriptPath) && QFileInfo(g_ActionScriptPath).isAbsolute()
            ? QFileInfo(g_ActionScriptPath).absolutePath()
            : Getlocalsettingsdir();
    return PathJoin(folder, u"*.curl");
}

void CActionDialog::OnLoadFile() {
    QString path;
    if (!m_filePrompt(true, path, promptStartName(), this)) {
        return;
    }
    g_ActionScriptPath = path;
    QString text;
    if (ReadEntireUTF8File(path, text) == 0) {
        m_app.ErrorBox(QStringLiteral("Could not read: ") + path);
        return;
    }
    g_ActionScratchPad = withPlainLineEnds(text);
    refresh();
}

bool CActionDialog::mayReplace(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists() || file.isDir() || file.permissions().testFlag(QFileDevice::WriteOwner)) {
        return true;
    }
    if (m_readOnlyQuestion(file.fileName()) != CFileDeleter::Answer::Yes) {
        return false;
    }
    // The new text replaces the file whole, so the old file's protection
    // only has to be lifted for the replacing write to be allowed.
    return QFile::setPermissions(path, file.permissions() | QFileDevice::WriteOwner);
}

bool CActionDialog::OnSaveFile() {
    QString path;
    if (!m_filePrompt(false, path, promptStartName(), this)) {
        return false;
    }
    g_ActionScriptPath = path;
    g_ActionScratchPad = withPlainLineEnds(m_pad->toPlainText());
    if (!mayReplace(path)) {
        return false;
    }
    if (WriteStringToFile(path, g_ActionScratchPad) == 0) {
        m_app.ErrorBox(QStringLiteral("Could not write to: ") + path);
        return false;
    }
    return true;
}

void CActionDialog::OnOpenDocumentation() {
    const QString path = m_app.MakeTempFilePath(QStringLiteral("html"), QStringLiteral("actions"));
    if (WriteStringToFile(path, ActionLanguageReferencePage()) == 0) {
        m_app.ErrorBox(QStringLiteral("Could not write to: ") + path);
        return;
    }
    m_app.ActionWindows().LaunchBrowser(QUrl::fromLocalFile(path).toString(),
                                        QStringLiteral("Action Language Reference"));
}

void CActionDialog::InsertLine(const QString& text) {
    QTextCursor cursor = m_pad->textCursor();
    if (!cursor.hasSelection()) {
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(u'\n' + text);
    } else {
        const QTextDocument* document = m_pad->document();
        const QTextBlock first = document->findBlock(cursor.selectionStart());
        const QTextBlock last = document->findBlock(cursor.selectionEnd());
        cursor.setPosition(first.position());
        cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
        cursor.insertText(text);
    }
    m_pad->setTextCursor(cursor);
    m_pad->ensureCursorVisible();
    g_ActionScratchPad = m_pad->toPlainText();
    m_pad->setFocus();
}

void CActionDialog::onHelpRowActivated(QTreeWidget* list, QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    const QString name = item->text(0);
    InsertLine(list == m_commandHelp ? QStringLiteral("curl:") + name : name);
}
