#pragma once

// What the options dialog and its pages need of the application: the
// settings and the language pack, the main World View (never touched by the
// pages themselves), the right-hand side, the status bar, the boxes, the file
// dialogs and the progress display of the language-pack editor.

#include <QString>

class CLangPack;
class CPreferences;
class CProgressBarSite;
class QWidget;

class COptionsSite {
public:
    virtual ~COptionsSite() = default;

    virtual CPreferences& Prefs() = 0;
    virtual CLangPack& LangPack() = 0;

    // The main World View.
    virtual bool IsWorldViewModified() = 0;
    // Saves it to its current file (asking for one only when it has none); true when written.
    virtual bool SaveWorldView() = 0;
    // Loads it from the address and selects its root; false (the tree as it
    // was) when the address could not be read.
    virtual bool LoadWorldView(const QString& address) = 0;

    // The selected World View item is a SmartTree folder.
    virtual bool IsSmartTreeFolderSelected() = 0;
    // The main frame rebuilds its right-hand side; true on success.
    virtual bool RebuildRightHandSide() = 0;
    // The right-hand view shows its chunk navigator.
    virtual bool IsChunkNavigatorShown() = 0;
    // The frame's Refresh command.
    virtual void Refresh() = 0;

    virtual void SetStatusText(const QString& text) = 0;
    // A box of one of the PopupType types; the answer (PopupAnswer).
    virtual int MessageBox(const QString& text, int type) = 0;
    // The application's cancel flag (raised by error boxes and Stop).
    virtual int CancelFlag() = 0;
    // The open (open = true) or save file dialog; false when cancelled.
    virtual bool PromptForFile(bool open, QString& path, const QString& initialName,
                               const QString& defaultExtension, const QString& filter,
                               QWidget* parent) = 0;
    // What the language-pack editor's progress dialog needs of the program.
    virtual CProgressBarSite& ProgressSite() = 0;
};
