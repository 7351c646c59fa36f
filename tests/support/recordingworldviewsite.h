#pragma once

#include "tree/mytree.h"
#include "tree/worldviewfile.h"

#include <QStringList>

#include <optional>

// The windows around the World View file while a test runs: boxes and the
// save dialog are recorded with the answers the test sets, and the restoring
// flag, automatic logins, locators and column saves are recorded in order.
class RecordingWorldViewSite : public CWorldViewSite {
public:
    void WarningBox(const QString& text) override { warnings << text; }
    bool AskYesNo(const QString& text) override {
        questions << text;
        return answerYes;
    }
    bool PromptForSavePath(QString& path) override {
        prompts << path;
        if (!chosenPath) {
            return false;
        }
        path = *chosenPath;
        return true;
    }
    bool IsNewWorldViewUnsaved() override { return newWorldViewUnsaved; }
    void ClearNewWorldViewUnsaved() override { newWorldViewUnsaved = false; }
    void PumpMessages() override { ++pumps; }
    void SetRestoring(bool restoring) override {
        calls << (restoring ? QStringLiteral("restoring") : QStringLiteral("restored"));
    }
    void AutoLogin(CMyTree& tree, QTreeWidgetItem* server) override {
        calls << QStringLiteral("login ") + tree.GetID(server);
    }
    void DispatchCurl(const QString& curl) override { calls << QStringLiteral("curl ") + curl; }
    void SaveColumnPrefs() override { calls << QStringLiteral("columns"); }

    // What the test sets: the Yes/No answer, the main frame's mark, and the
    // path the save dialog returns (none: it is cancelled).
    bool answerYes = false;
    bool newWorldViewUnsaved = false;
    std::optional<QString> chosenPath;

    // What was asked.
    QStringList warnings;
    QStringList questions;
    QStringList prompts;
    QStringList calls;
    int pumps = 0;
};
