#pragma once

// The World View file: loading the tree from a local file or an http, https
// or ftp address, saving it (always to a local file, atomically), restoring
// the last World View at start-up, the question about unsaved changes at
// exit, and the options page's list of recent World Views.
//
// The current World View is the preference "ZWV"; each address used before
// has a key "ZWV:" followed by the address. Anything from the first "|" of an
// address on is ignored. UI thread only.

#include <QString>

class CMyTree;
class CPreferences;
class QComboBox;
class QTreeWidgetItem;

// What the World View file needs of the windows and the application around
// it: its boxes and save dialog, the main frame's new World View mark, the
// restoring flag, the automatic login, the remembered locator and the data
// grid's columns.
class CWorldViewSite {
public:
    virtual ~CWorldViewSite() = default;

    // Shows the text in a warning box.
    virtual void WarningBox(const QString& text) = 0;
    // Asks the question with Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& text) = 0;
    // The save-file dialog, starting at the path; false when cancelled.
    virtual bool PromptForSavePath(QString& path) = 0;
    // The main frame's mark of a new World View that has no file.
    virtual bool IsNewWorldViewUnsaved() = 0;
    // Clears that mark once the World View has its file.
    virtual void ClearNewWorldViewUnsaved() = 0;
    // Lets the windows handle their pending events.
    virtual void PumpMessages() = 0;
    // The application's restoring flag, set while the World View is restored.
    virtual void SetRestoring(bool restoring) = 0;
    // Logs in to the server entry selected at start-up ("AutoLogin").
    virtual void AutoLogin(CMyTree& tree, QTreeWidgetItem* server) = 0;
    // Runs the remembered locator ("CurrentCurl").
    virtual void DispatchCurl(const QString& curl) = 0;
    // Stores the column settings of a shown data grid.
    virtual void SaveColumnPrefs() = 0;
};

class CWorldViewFile {
public:
    // The password sent with the anonymous user name for ftp World Views.
    static constexpr QStringView kAnonymousPassword = u"quillex@localhost";

    CWorldViewFile(CPreferences& preferences, CMyTree& tree);

    // Installs the site that saves, restores, opens and the exit question go
    // through; null removes it. Any of those without a site ends the program.
    void SetSite(CWorldViewSite* site);

    // Reads the World View at the address into a tree of its own and puts it
    // in place of the current one only when it was read whole. 1 on success;
    // 0 otherwise, with the tree and its changed mark untouched and the
    // reason in GetErrorText().
    int LoadWorldView(const QString& address);
    // Writes the World View to the current address when that is a local file,
    // else to the default path; asks for the path when `ask` is set or the
    // World View has no file. 1 when written; 0 when cancelled or failed
    // (failure is shown in a warning box and the file stays as it was).
    int SaveWorldView(bool ask);
    // Start-up: loads the current World View, else the first recent one that
    // loads, and selects the remembered server or the root. 1 when loaded.
    int RestoreWorldView();
    // Loads the World View at the address, makes it the current one and
    // selects as a restore does. 1 when loaded; else 0 after a warning box
    // with the reason.
    int OpenWorldView(const QString& address);
    // Exit: offers to save unsaved changes, stores the grid columns and the
    // preferences. Returns 1.
    int SaveOnExit();
    // The first step of SaveOnExit: when the World View has unsaved changes,
    // asks whether to save them and does. 1 when it was written.
    int AskToSaveChanges();
    // Exit with nobody to ask (a termination signal): unsaved changes are
    // written, without a question, to the recovery file beside the World
    // View, never over it; the World View's file and the preferences stay as
    // they are. 1 when written, 0 without changes or on failure (logged).
    int KeepChangesForRecovery();
    // "<World View's name>-recovered.zwv" in the World View's folder; the
    // default World View's folder when the World View is no local file.
    QString RecoveryPath() const;
    // Fills the combo with the recent World Views (local files only when they
    // exist), selects the current one and ends with the browse entry. The
    // result is the number of recent entries.
    int FillWorldViewCombo(QComboBox& combo);

    const QString& GetErrorText() const { return m_errorText; }

    // The address without anything from its first "|" on.
    static QString AddressOf(const QString& stored);

private:
    bool readAddress(const QString& address, QString& content);
    // After a load at start-up: the remembered server or the root selected,
    // the automatic login and the remembered locator.
    void settleLoadedWorldView();
    QString savePath() const;
    // The declaration and the tree, written atomically; false (the file as it
    // was) without a root or when the file cannot be written.
    bool writeTree(const QString& path) const;
    CWorldViewSite& site() const;

    CPreferences& m_preferences;
    CMyTree& m_tree;
    CWorldViewSite* m_site = nullptr;
    QString m_errorText;
};
