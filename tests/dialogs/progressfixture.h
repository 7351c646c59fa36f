#pragma once

// A progress display's program for tests: a clock the test moves, the
// cancel flag, the error boxes, a selected server the test can change, and
// the status bar's control made on the UI thread for a worker.

#include "dialogs/progressbar.h"
#include "dialogs/progressbarsite.h"
#include "frame/statusbar.h"
#include "framework/kprops.h"
#include "settings/uithreadcall.h"
#include "ui/uibridge.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <utility>
#include <vector>

// The program around the display: a clock the test moves, the cancel
// flag, the error boxes, and a selected server the test can change.
class FakeProgressSite : public CProgressBarSite {
public:
    void ClearCancelFlag() override { cancelFlag = 0; }
    void AddToCancelFlag() override { ++cancelFlag; }
    void PumpMessages(bool) override {}
    bool IsAbortedThread() const override { return aborted.load(); }
    void ErrorBox(const QString& text) override {
        errorBoxes.push_back(text);
        if (onErrorBox) {
            onErrorBox();
        }
    }
    qint64 Now() const override { return now.load(); }
    QWidget* MainWindow() const override { return nullptr; }
    CKillTarget ResolveOnSelectedServer(const QString& url) override {
        const std::lock_guard lock(mutex);
        if (selectedHost.isEmpty()) {
            return {};
        }
        return {selectedHost, selectedBase + url, selectedUser, selectedPassword};
    }
    bool ShowProgressOnUIThread() override {
        ++shownFromWorker;
        return RunOnUiThread(
            u"show",
            [this] {
                statusBar->ShowProgressControl();
                return qintptr{1};
            },
            nullptr);
    }
    bool HideProgressOnUIThread() override {
        ++hiddenFromWorker;
        return RunOnUiThread(
            u"hide",
            [this] {
                statusBar->HideProgressControl();
                return qintptr{1};
            },
            nullptr);
    }

    void select(const QString& host, const QString& base, const QString& user,
                const QString& password) {
        const std::lock_guard lock(mutex);
        selectedHost = host;
        selectedBase = base;
        selectedUser = user;
        selectedPassword = password;
    }

    std::atomic<int> cancelFlag{0};
    std::atomic<bool> aborted{false};
    std::atomic<qint64> now{1000};
    std::atomic<int> shownFromWorker{0};
    std::atomic<int> hiddenFromWorker{0};
    std::vector<QString> errorBoxes;
    std::function<void()> onErrorBox;
    CStatusBar* statusBar = nullptr;

private:
    std::mutex mutex;
    QString selectedHost;
    QString selectedBase;
    QString selectedUser;
    QString selectedPassword;
};

inline KPROPS attributes(std::initializer_list<std::pair<const char*, const char*>> pairs) {
    KPROPS props;
    for (const auto& [name, value] : pairs) {
        props.Add(QString::fromUtf8(name), QString::fromUtf8(value));
    }
    return props;
}

// The UI thread answers the bar's calls from workers.
class ProgressFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SetSettingsUiRunner(
            [this](const UiWork& work, qintptr* result) { return bridge.Call(work, result); });
        site.statusBar = &statusBar;
    }
    void TearDown() override { SetSettingsUiRunner({}); }

    int tag(CProgressBar& bar, const char* name,
            std::initializer_list<std::pair<const char*, const char*>> pairs = {}) {
        return bar.HandlePbarTag(QString::fromUtf8(name), attributes(pairs), QString(), {});
    }

    CUiBridge bridge;
    FakeProgressSite site;
    CStatusBar statusBar;
};
