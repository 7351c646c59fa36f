#include "app/apppreferencessite.h"

#include "app/theapp.h"
#include "frame/folderlist.h"
#include "frame/mainframe.h"
#include "frame/qvxrebar.h"

QWidget* CAppPreferencesSite::MainFrameWindow() {
    return m_app.MainFrame();
}

std::optional<int> CAppPreferencesSite::MainSplitterColumnWidth() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        return frame->OuterSplitter().GetColumnInfo(0).current;
    }
    return std::nullopt;
}

void CAppPreferencesSite::SetMainSplitterColumn(int width, int minimum) {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->OuterSplitter().SetColumnInfo(0, width, minimum);
        frame->OuterSplitter().RecalcLayout();
    }
}

void CAppPreferencesSite::LoadBuiltInLanguagePack() {
    m_app.LangPack().LoadBuiltIn();
}

void CAppPreferencesSite::LoadLanguagePack(const QString& path) {
    m_app.LangPack().Load(path);
}

void CAppPreferencesSite::RestoreRebarLayout() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->ReBar().RestoreBandLayout();
    }
}

void CAppPreferencesSite::WarningBox(const QString& text) {
    m_app.WarningBox(text);
}

void CAppPreferencesSite::ApplyListViewMode(int styleBits) {
    const CMainFrame* frame = m_app.MainFrame();
    if (CFolderList* list = frame != nullptr ? frame->GetFolderList() : nullptr) {
        list->SetMode(styleBits);
    }
}
