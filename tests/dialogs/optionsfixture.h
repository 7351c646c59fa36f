#pragma once

// An options dialog over a store in a temporary home, with a main World View
// of its own (loaded from Main.zwv) and a site that records boxes, status
// texts and progress and answers file dialogs from a script.

#include "dialogs/optionsdialog.h"
#include "dialogs/optionssite.h"
#include "dialogs/progressbarsite.h"
#include "settings/langpack.h"
#include "settings/preferencesfixture.h"
#include "support/recordingwireservices.h"
#include "support/recordingworldviewsite.h"
#include "tree/mytree.h"
#include "tree/worldviewfile.h"
#include "ui/popupmessages.h"

#include <QCoreApplication>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <optional>

inline const QByteArray kMainWorldView =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<tree>\n"
    "  <root label='World View'>\n"
    "    <folder label='Main Lab'>\n"
    "    </folder>\n"
    "  </root>\n"
    "</tree>\n";

inline const QByteArray kOtherWorldView =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<tree>\n"
    "  <root label='World View'>\n"
    "    <folder label='Field Office'>\n"
    "    </folder>\n"
    "  </root>\n"
    "</tree>\n";

// The program around the editor's progress dialog: the cancel flag, and
// the events that run while it steps.
class RecordingProgressSite : public CProgressBarSite {
public:
    explicit RecordingProgressSite(int& cancelFlag) : m_cancelFlag(cancelFlag) {}
    void ClearCancelFlag() override { m_cancelFlag = 0; }
    void AddToCancelFlag() override { ++m_cancelFlag; }
    void PumpMessages(bool) override { QCoreApplication::processEvents(); }
    bool IsAbortedThread() const override { return false; }
    void ErrorBox(const QString& text) override { errorBoxes << text; }
    qint64 Now() const override { return 1000; }
    QWidget* MainWindow() const override { return nullptr; }
    CKillTarget ResolveOnSelectedServer(const QString&) override { return {}; }
    bool ShowProgressOnUIThread() override { return false; }
    bool HideProgressOnUIThread() override { return false; }

    QStringList errorBoxes;

private:
    int& m_cancelFlag;
};

class RecordingOptionsSite : public COptionsSite {
public:
    RecordingOptionsSite(CPreferences& prefs, CLangPack& pack) : prefs(prefs), pack(pack) {
        mainFile.SetSite(&mainViewSite);
    }

    CPreferences& Prefs() override { return prefs; }
    CLangPack& LangPack() override { return pack; }
    bool IsWorldViewModified() override { return mainTree.IsModified(); }
    bool SaveWorldView() override {
        calls << QStringLiteral("save world view");
        return mainFile.SaveWorldView(false) != 0;
    }
    bool LoadWorldView(const QString& address) override {
        calls << QStringLiteral("load ") + address;
        return mainFile.LoadWorldView(address) != 0;
    }
    bool IsSmartTreeFolderSelected() override { return smartTreeSelected; }
    bool RebuildRightHandSide() override {
        calls << QStringLiteral("rebuild");
        return true;
    }
    bool IsChunkNavigatorShown() override { return navigatorShown; }
    void Refresh() override { calls << QStringLiteral("refresh"); }
    void SetStatusText(const QString& text) override { statusTexts << text; }
    int MessageBox(const QString& text, int type) override {
        boxes << text;
        if (type == kPopupError) {
            ++cancelFlag;
        }
        if (type == kPopupYesNo) {
            return answerYes ? kAnswerYes : kAnswerNo;
        }
        return kAnswerOk;
    }
    int CancelFlag() override { return cancelFlag; }
    bool PromptForFile(bool open, QString& path, const QString& initialName, const QString&,
                       const QString&, QWidget*) override {
        prompts << QStringLiteral("%1 %2").arg(open ? "open" : "save", initialName);
        if (!chosenFile) {
            return false;
        }
        path = *chosenFile;
        return true;
    }
    CProgressBarSite& ProgressSite() override { return progressSite; }

    CPreferences& prefs;
    CLangPack& pack;
    QTreeWidget mainControl;
    CMyTree mainTree;
    // The main World View's save never asks: it always has its file.
    RecordingWorldViewSite mainViewSite;
    CWorldViewFile mainFile{prefs, mainTree};
    QStringList boxes;
    QStringList statusTexts;
    QStringList calls;
    QStringList prompts;
    std::optional<QString> chosenFile;
    bool answerYes = false;
    bool smartTreeSelected = false;
    bool navigatorShown = false;
    int cancelFlag = 0;
    RecordingProgressSite progressSite{cancelFlag};
};

class OptionsFixture : public PreferencesFixture {
protected:
    void SetUp() override {
        PreferencesFixture::SetUp();
        // The pages read and write thousands of entries; these tests read no log lines.
        writeFile(QStringLiteral("Quillex.dbg"), "1");
        kDebugLevel(1);
        prefs.RestorePrefs();
        pack.LoadBuiltIn();
        optionsSite = std::make_unique<RecordingOptionsSite>(prefs, pack);
        optionsSite->mainTree.AttachTreeCtrl(&optionsSite->mainControl);
        mainPath = writeFile(QStringLiteral(".config/Zorvic/QVX/Main.zwv"), kMainWorldView);
        prefs.SetCurrentWorldView(mainPath, std::nullopt, std::nullopt);
        ASSERT_EQ(optionsSite->mainFile.LoadWorldView(mainPath), 1);
        prefs.SavePrefs(1);
        COptionsDialog::ResetLastPageShown();
    }
    void TearDown() override {
        dialog.reset();
        optionsSite.reset();
        PreferencesFixture::TearDown();
    }

    COptionsDialog& open(int startPage = COptionsDialog::kStoredPage) {
        dialog = std::make_unique<COptionsDialog>(*optionsSite, nullptr, startPage);
        dialog->OnInitDialog();
        dialog->show();
        return *dialog;
    }

    // The main tree's first folder label: which World View it shows.
    QString mainFolder() const {
        QTreeWidgetItem* root = optionsSite->mainTree.GetRootItem();
        return root != nullptr && root->childCount() > 0 ? root->child(0)->text(0) : QString();
    }

    RecordingWireServices services;
    CLangPack pack;
    std::unique_ptr<RecordingOptionsSite> optionsSite;
    std::unique_ptr<COptionsDialog> dialog;
    QString mainPath;
};
