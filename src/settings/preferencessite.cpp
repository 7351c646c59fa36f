#include "settings/preferencessite.h"

#include "framework/klog.h"

QWidget* CPreferencesSite::MainFrameWindow() {
    return nullptr;
}

std::optional<int> CPreferencesSite::MainSplitterColumnWidth() {
    return std::nullopt;
}

void CPreferencesSite::SetMainSplitterColumn(int width, int minimum) {
    kDebugLog(u"CPreferencesSite: no main splitter for column 0 = %d (minimum %d)\n", width,
              minimum);
}

void CPreferencesSite::ApplyListViewMode(int styleBits) {
    kDebugLog(u"CPreferencesSite: no folder list for ListViewMode %d\n", styleBits);
}

void CPreferencesSite::RestoreRebarLayout() {
    kDebugLog(u"CPreferencesSite: no rebar to restore\n");
}

void CPreferencesSite::LoadBuiltInLanguagePack() {
    kDebugLog(u"CPreferencesSite: no language pack to fill\n");
}

void CPreferencesSite::LoadLanguagePack(const QString& path) {
    kDebugLog(u"CPreferencesSite: no language pack to load '%s' into\n", path);
}

void CPreferencesSite::WarningBox(const QString& text) {
    kWarningLog(u"%s", text);
}
