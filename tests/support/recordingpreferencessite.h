#pragma once

// Stands in for the windows around a preferences store: records what the
// store asks of them and answers with the main window and splitter width a
// test sets.

#include "framework/kformat.h"
#include "settings/preferencessite.h"

#include <QStringList>

class RecordingPreferencesSite : public CPreferencesSite {
public:
    QWidget* MainFrameWindow() override { return mainFrame; }
    std::optional<int> MainSplitterColumnWidth() override { return splitterWidth; }
    void SetMainSplitterColumn(int width, int minimum) override {
        calls << kFormat(u"splitter %d %d", width, minimum);
    }
    void ApplyListViewMode(int styleBits) override { calls << kFormat(u"listview %d", styleBits); }
    void RestoreRebarLayout() override { calls << QStringLiteral("rebar"); }
    void LoadBuiltInLanguagePack() override { calls << QStringLiteral("builtin pack"); }
    void LoadLanguagePack(const QString& path) override { calls << kFormat(u"pack %s", path); }
    void WarningBox(const QString& text) override { warnings << text; }

    QWidget* mainFrame = nullptr;
    std::optional<int> splitterWidth;
    QStringList calls;
    QStringList warnings;
};
