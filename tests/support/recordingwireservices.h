#pragma once

// Stands in for the application's services while a test runs: records every
// box, action, progress command, server process id, URL trail entry and
// asynchronous request the wire classes hand over, and lets the test raise
// the cancel flag and choose the answers. Installs itself for its lifetime
// and then puts back the services installed before it.

#include "framework/kprops.h"
#include "net/wireservices.h"

#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

class RecordingWireServices : public CWireServices {
public:
    struct Popup {
        QString text;
        int type = 0;
    };
    struct Pbar {
        QString name;
        QString text;  // empty for a start tag
        bool endTag = false;
    };
    struct Pid {
        const void* owner = nullptr;
        quint32 pid = 0;
        bool added = false;
    };
    struct AsyncRequest {
        int kind = 0;
        QString url;
        QString user;
        QString password;
    };

    RecordingWireServices();
    ~RecordingWireServices() override;
    RecordingWireServices(const RecordingWireServices&) = delete;
    RecordingWireServices& operator=(const RecordingWireServices&) = delete;

    int CancelFlag() const override { return cancelFlag.load(); }
    void ClearCancelFlag() override { cancelFlag = 0; }
    int PopupMessage(const QString& text, int type) override;
    int DispatchCurl(const QString& action) override;
    int HandlePbarTag(const QString& name, const KPROPS& attributes, const QString& parent,
                      const XmlElementStack& stack) override;
    int HandlePbarEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                         const QString& parent, const XmlElementStack& stack) override;
    void AddServerPid(const void* owner, quint32 pid) override;
    void RemoveServerPid(const void* owner, quint32 pid) override;
    void PumpMessages() override {
        ++pumps;
        if (onPump) {
            onPump();
        }
    }
    void BeginBusy() override { ++busyDepth; }
    void EndBusy() override { --busyDepth; }
    void RecordUrlTrail(const QString& entry) override;
    bool IsAbortedThread() const override { return false; }
    bool AskProxyCredentials(const QString& proxy, QString& user, QString& password) override;
    // Records the request, which never goes out: there is no dispatcher.
    bool StartAsyncRequest(int kind, quint16& requesterId, const QString& url, const QString& user,
                           const QString& password) override;
    void CancelRequests(quint16 requesterId) override;

    std::vector<Popup> popups() const;
    void clearPopups();
    std::vector<QString> curls() const;
    std::vector<Pbar> pbars() const;
    std::vector<Pid> pids() const;
    std::vector<QString> trail() const;
    std::vector<AsyncRequest> asyncRequests() const;
    std::vector<quint16> cancelledRequesters() const;

    std::atomic<int> cancelFlag{0};
    std::atomic<int> busyDepth{0};
    std::atomic<int> pumps{0};
    // Called on each pump, as the events that run then would.
    std::function<void()> onPump;
    // Called after a box is recorded, e.g. to raise the cancel flag as the
    // application's error box does.
    std::function<void(const Popup&)> onPopup;
    // The button every box answers with.
    std::atomic<int> popupAnswer{1};
    // Credentials the proxy dialog answers with; empty user: the dialog is cancelled.
    QString proxyUser;
    QString proxyPassword;
    // Answers the proxy question instead, e.g. with the real dialog.
    std::function<bool(const QString& proxy, QString& user, QString& password)> onProxyQuestion;
    std::atomic<int> proxyQuestions{0};

private:
    template <typename T>
    std::vector<T> copyOf(const std::vector<T>& records) const {
        std::lock_guard lock(m_mutex);
        return records;
    }

    CWireServices* m_previous = nullptr;
    mutable std::mutex m_mutex;
    std::vector<Popup> m_popups;
    std::vector<QString> m_curls;
    std::vector<Pbar> m_pbars;
    std::vector<Pid> m_pids;
    std::vector<QString> m_trail;
    std::vector<AsyncRequest> m_asyncRequests;
    std::vector<quint16> m_cancelledRequesters;
};
