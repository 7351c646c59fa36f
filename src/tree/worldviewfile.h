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

// What the World View file needs of the windows and of later parts. The
// defaults use the application's message boxes, file dialog and action
// dispatcher where those exist, and only log for the rest.
class CWorldViewSite {
public:
    virtual ~CWorldViewSite() = default;

    virtual void WarningBox(const QString& text);
    virtual bool AskYesNo(const QString& text);
    // The save-file dialog, starting at the path; false when cancelled.
    virtual bool PromptForSavePath(QString& path);
    // The main frame's mark of a new World View that has no file yet.
    virtual bool IsNewWorldViewUnsaved() { return false; }
    virtual void ClearNewWorldViewUnsaved() {}
    // Fetches a whole document by URL; false with the error text on failure.
    virtual bool FetchDocument(const QString& url, const QString& user, const QString& password,
                               QString& text, QString& errorText);
    virtual void PumpMessages();
    // The application's restoring flag, set while the World View is restored.
    virtual void SetRestoring(bool restoring);
    // Logs in to the server entry selected at start-up ("AutoLogin").
    virtual void AutoLogin(CMyTree& tree, QTreeWidgetItem* server);
    // Runs the remembered locator ("CurrentCurl").
    virtual void DispatchCurl(const QString& curl);
    // Stores the column settings of a shown data grid.
    virtual void SaveColumnPrefs();
};

class CWorldViewFile {
public:
    // The password sent with the anonymous user name for ftp World Views.
    static constexpr QStringView kAnonymousPassword = u"quillex@localhost";

    CWorldViewFile(CPreferences& preferences, CMyTree& tree);

    // Null restores the default site.
    void SetSite(CWorldViewSite* site);

    // Reads the World View at the address into a tree of its own and puts it
    // in place of the current one only when it was read whole. 1 on success;
    // 0 otherwise, with the tree and its changed mark untouched and the
    // reason in GetErrorText().
    int LoadWorldView(const QString& address);
    // Writes the World View to the current address when that is a local file,
    // else to the default path; asks for the path when `ask` is set or the
    // World View has no file yet. 1 when written; 0 when cancelled or failed
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

    CPreferences& m_preferences;
    CMyTree& m_tree;
    CWorldViewSite m_defaultSite;
    CWorldViewSite* m_site = &m_defaultSite;
    QString m_errorText;
};
