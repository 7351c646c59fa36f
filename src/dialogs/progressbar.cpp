#include "dialogs/progressbar.h"

#include "dialogs/progressdialog.h"
#include "frame/statusbar.h"
#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/kprops.h"
#include "settings/langpack.h"
#include "settings/uithreadcall.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kRefused = 2;
// Without an estimate every 50 steps make one percent.
constexpr qint64 kStepsPerPercentWithoutEstimate = 50;

// A detail line loses its trailing blanks, tabs and line ends.
QString trimmedDetail(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == u' ' || text[end - 1] == u'\t' || text[end - 1] == u'\r' ||
                       text[end - 1] == u'\n')) {
        --end;
    }
    return text.left(end);
}

}  // namespace

CProgressBar::CProgressBar(CProgressBarSite& site, QWidget* parent)
    : m_site(site), m_parent(parent) {
    reset();
}

CProgressBar::~CProgressBar() {
    Done();
    // The program is closing: a server slow to answer the kill does not hold it.
    m_kill.Cancel();
    m_kill.Wait();
    delete m_dialog.data();
}

void CProgressBar::SetStatusBar(CStatusBar* statusBar, int paneId) {
    m_statusBar = statusBar;
    m_paneId = paneId;
}

void CProgressBar::reset() {
    m_showCancel = true;
    m_state = Idle;
    m_position = 0;
    m_total = 0;
    m_percent = 0;
    m_startTime = 0;
    m_leaveUp = false;
    const std::lock_guard lock(m_textMutex);
    m_cancelUrl.clear();
    m_killTarget = {};
}

int CProgressBar::refused() const {
    if (m_state.load() == Cancelled) {
        kDebugLog(u"pbar is cancelled\n");
    }
    return kRefused;
}

void CProgressBar::onUi(const std::function<void()>& work) {
    RunOnUiThread(
        u"CProgressBar",
        [&work] {
            work();
            return qintptr{0};
        },
        nullptr);
}

int CProgressBar::Start(const QString& title, const QString& action, qint64 estimate,
                        bool showCancel, QWidget* anchor) {
    if (m_state.load() != Idle) {
        kDebugLog(u"PBAR: Started over!\n");
        Done();
    }
    m_site.ClearCancelFlag();
    kDebugLog(u"pbar start\n");
    reset();
    m_showCancel = showCancel;
    m_startTime = m_site.Now();
    m_state = Running;
    if (statusBarMode()) {
        if (IsUiThread()) {
            CreateStatusBarControl();
        } else {
            m_site.ShowProgressOnUIThread();
        }
    } else {
        bool opened = false;
        onUi([&] { opened = openDialog(title, action, anchor); });
        if (!opened) {
            return kRefused;
        }
    }
    m_total = estimate;
    m_site.PumpMessages(true);
    return m_state.load();
}

bool CProgressBar::openDialog(const QString& title, const QString& action, QWidget* anchor) {
    QWidget* parent = m_parent != nullptr ? m_parent.data() : m_site.MainWindow();
    delete m_dialog.data();
    m_dialog = new CProgressDialog(parent);
    m_dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    // The window beneath waits for the operation, but this window's Cancel
    // must stay usable while the caller goes on working.
    m_dialog->setWindowModality(parent != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(m_dialog, &CProgressDialog::cancelPressed, &m_uiContext, [this] {
        if (IsActive()) {
            OnCancelButton();
        } else {
            closeDialog();
        }
    });
    QObject::connect(m_dialog, &CProgressDialog::detailsToggled, &m_uiContext,
                     [this](bool visible) { SetDetailsVisible(visible); });
    m_dialog->setWindowTitle(title);
    {
        const std::lock_guard lock(m_textMutex);
        m_message = action;
    }
    m_dialog->Message()->setText(action);
    m_dialog->PercentLabel()->clear();
    m_dialog->CancelButton()->setText(QStringLiteral("Cancel"));
    m_dialog->CancelButton()->setEnabled(m_showCancel.load());
    m_dialog->CancelButton()->setVisible(m_showCancel.load());
    m_dialog->adjustSize();
    if (anchor != nullptr) {
        const QRect anchorFrame = anchor->frameGeometry();
        m_dialog->move(anchorFrame.right() + 2,
                       anchorFrame.bottom() - m_dialog->frameGeometry().height());
    } else if (parent != nullptr) {
        const QRect centre = parent->window()->frameGeometry();
        m_dialog->move(centre.center() - m_dialog->rect().center());
    }
    m_dialog->show();
    return true;
}

void CProgressBar::closeDialog() {
    if (m_dialog == nullptr) {
        return;
    }
    CProgressDialog* dialog = m_dialog;
    m_dialog = nullptr;
    dialog->hide();
    dialog->deleteLater();
}

void CProgressBar::CreateStatusBarControl() {
    if (QProgressBar* control = m_statusBar->ShowProgressControl()) {
        control->setRange(0, 100);
        control->setValue(0);
    }
}

void CProgressBar::DestroyStatusBarControl() {
    m_statusBar->HideProgressControl();
}

int CProgressBar::Step(qint64 delta) {
    if (m_site.IsAbortedThread()) {
        return 1;
    }
    m_site.PumpMessages(false);
    if (delta == 0) {
        return m_state.load();
    }
    switch (m_state.load()) {
        case Cancelled:
            kDebugLog(u"pbar is cancelled\n");
            return Cancelled;
        case Idle:
            return Idle;
        default:
            break;
    }
    const qint64 position = m_position += delta;
    const qint64 total = m_total.load();
    const qint64 percent =
        total > 0 ? position * 100 / total : position / kStepsPerPercentWithoutEstimate;
    m_percent = static_cast<int>(std::clamp<qint64>(percent, INT_MIN, INT_MAX));
    if (IsUiThread()) {
        showPercent();
    } else {
        m_uiContext.Queue([this] { showPercent(); });
    }
    m_site.PumpMessages(false);
    return m_state.load();
}

void CProgressBar::showPercent() {
    const int percent = std::clamp(m_percent.load(), 0, 100);
    if (statusBarMode()) {
        if (QProgressBar* control = m_statusBar->ProgressControl()) {
            control->setValue(percent);
        }
        return;
    }
    if (m_dialog == nullptr) {
        return;
    }
    m_dialog->Bar()->setValue(percent);
    QLabel* label = m_dialog->PercentLabel();
    const QString text = kFormat(u"[ %d%% done ]", percent);
    if (label->text() != text) {
        label->setText(text);
    }
    label->setVisible(m_site.Now() - m_startTime.load() > kLabelDelay);
}

int CProgressBar::SetAction(const QString& text) {
    if (statusBarMode()) {
        if (m_paneId != 0) {
            setStatusPane(text);
        }
        return m_state.load();
    }
    if (m_state.load() != Running) {
        return refused();
    }
    {
        const std::lock_guard lock(m_textMutex);
        m_message = text;
    }
    onUi([&] {
        if (m_dialog != nullptr) {
            m_dialog->Message()->setText(text);
        }
    });
    m_site.PumpMessages(false);
    return m_state.load();
}

void CProgressBar::setStatusPane(const QString& text) {
    onUi([&] { m_statusBar->SetPaneText(CStatusBar::kMessagePane, text); });
}

int CProgressBar::AddDetail(const QString& text) {
    kDebugLog(u"PBAR: %s\n", text);
    if (statusBarMode()) {
        setStatusPane(text);
        return m_state.load();
    }
    if (m_state.load() != Running) {
        return refused();
    }
    const QString line = trimmedDetail(text);
    onUi([&] {
        if (m_dialog == nullptr) {
            return;
        }
        QPushButton* details = m_dialog->DetailsButton();
        details->setText(m_dialog->DetailsBox()->isVisible() ? QStringLiteral("Hide &Details")
                                                             : QStringLiteral("Show &Details"));
        details->show();
        m_dialog->AppendDetail(line);
    });
    m_site.PumpMessages(false);
    return m_state.load();
}

void CProgressBar::SetDetailsVisible(bool visible) {
    if (m_state.load() == Idle) {
        return;
    }
    onUi([&] {
        if (m_dialog != nullptr) {
            m_dialog->ShowDetailsBox(visible);
        }
    });
}

int CProgressBar::Fail(const QString& title, const QString& text) {
    if (statusBarMode()) {
        return Done();
    }
    if (m_state.load() != Running) {
        return refused();
    }
    m_site.AddToCancelFlag();
    const QString caption = title.isEmpty() ? QStringLiteral("FAILED.") : title;
    const QString message = text.isEmpty() ? QStringLiteral("FAILED.") : text;
    {
        const std::lock_guard lock(m_textMutex);
        m_message = message;
    }
    onUi([&] {
        if (m_dialog == nullptr) {
            return;
        }
        m_dialog->setWindowTitle(caption);
        m_dialog->Message()->setText(message);
        QPushButton* button = m_dialog->CancelButton();
        button->setText(QStringLiteral("&Done"));
        button->setEnabled(true);
        button->show();
    });
    m_site.PumpMessages(false);
    return m_state.load();
}

int CProgressBar::Done() {
    if (m_site.IsAbortedThread()) {
        return 1;
    }
    m_startTime = 0;
    if (m_state.load() == Idle) {
        return kRefused;
    }
    kDebugLog(u"pbar done \n");
    if (statusBarMode()) {
        if (IsUiThread()) {
            DestroyStatusBarControl();
        } else {
            m_site.HideProgressOnUIThread();
        }
    } else if (m_leaveUp.load()) {
        const qint64 missing = m_total.load() - m_position.load();
        if (missing > 0) {
            Step(missing);
        }
        onUi([&] {
            if (m_dialog != nullptr) {
                m_dialog->CancelButton()->setText(LangLookup(QStringLiteral("&Done")));
                m_dialog->CancelButton()->setEnabled(true);
                m_dialog->CancelButton()->show();
            }
        });
    } else {
        onUi([&] { closeDialog(); });
    }
    m_state = Idle;
    m_site.PumpMessages(true);
    return 0;
}

int CProgressBar::OnCancelButton() {
    switch (m_state.load()) {
        case Idle:
            return Idle;
        case Cancelled:
            kDebugLog(u"pbar is cancelled\n");
            return Cancelled;
        default:
            break;
    }
    kDebugLog(u"pbar cancel\n");
    if (!statusBarMode()) {
        bool detailsShown = false;
        onUi([&] { detailsShown = m_dialog != nullptr && m_dialog->DetailsButton()->isVisible(); });
        if (detailsShown) {
            AddDetail(QStringLiteral("User cancelled!"));
        }
        onUi([&] {
            if (m_dialog != nullptr) {
                m_dialog->CancelButton()->setText(QStringLiteral("( wait )"));
                m_dialog->CancelButton()->setEnabled(false);
            }
        });
    }
    CKillTarget target;
    {
        const std::lock_guard lock(m_textMutex);
        target = m_killTarget;
    }
    if (target.url.isEmpty()) {
        kDebugLog(u"Cannot send KILL -- no m_strCancelURL in CProgressBar.\n");
    } else if (target.host.isEmpty()) {
        kDebugLog(u"Cannot send KILL -- no pMySystem pointer in CProgressBar.\n");
    } else {
        kDebugLog(u"Sending KILL to %s: %s...\n", target.host, target.url);
        m_kill.Send(target);
    }
    m_site.AddToCancelFlag();
    m_state = Cancelled;
    m_site.PumpMessages(true);
    return Cancelled;
}

bool CProgressBar::IsCancelled() const {
    if (m_state.load() != Cancelled) {
        return false;
    }
    kDebugLog(u"pbar is cancelled\n");
    return true;
}

QString CProgressBar::Message() const {
    const std::lock_guard lock(m_textMutex);
    return m_message;
}

QString CProgressBar::CancelURL() const {
    const std::lock_guard lock(m_textMutex);
    return m_cancelUrl;
}

void CProgressBar::SetCancelURL(const QString& url) {
    // The server selected now is the one running the job: a later change
    // of selection must not send its cancel request elsewhere.
    CKillTarget target;
    if (!url.isEmpty()) {
        target = m_site.ResolveOnSelectedServer(url);
        target.url = target.url.isEmpty() ? url : target.url;
    }
    const std::lock_guard lock(m_textMutex);
    m_cancelUrl = url;
    m_killTarget = target;
}

int CProgressBar::Start(const QString& title, const QString& action, int estimate) {
    return Start(title, action, qint64{estimate}, true, nullptr);
}

int CProgressBar::SetEstimate(int estimate) {
    m_total = estimate;
    return m_state.load();
}

int CProgressBar::Step(int rows) {
    return Step(qint64{rows});
}

int CProgressBar::HandlePbarTag(const QString& name, const KPROPS& attributes, const QString&,
                                const XmlElementStack&) {
    const auto value = [&attributes](const char16_t* attribute) {
        return attributes.GetValue(QString::fromUtf16(attribute));
    };
    if (name == u"pbar-start") {
        return Start(value(u"title"), value(u"action"), value(u"estimate").toLongLong(),
                     value(u"cancelButton") != u"no", nullptr);
    }
    if (name == u"pbar-update") {
        const QString estimate = value(u"estimate");
        const qint64 total = estimate.toLongLong();
        if (total != 0) {
            m_total = estimate.startsWith(u'+') ? m_total.load() + total : total;
        }
        if (const QString action = value(u"action"); !action.isEmpty()) {
            SetAction(action);
        }
        if (const QString detail = value(u"detail"); !detail.isEmpty()) {
            AddDetail(detail);
        }
        if (value(u"option") == u"leave-up") {
            m_leaveUp = true;
        }
        const QString delta = value(u"delta");
        return Step(delta.isEmpty() ? qint64{1} : delta.toLongLong());
    }
    if (name == u"pbar-failed") {
        const QString title = value(u"title");
        const QString action = value(u"action");
        if (!statusBarMode()) {
            return Fail(title, action);
        }
        QString text = QStringLiteral("Failed.");
        if (!title.isEmpty() && !action.isEmpty()) {
            text = kFormat(u"%s\r\n   %s", title, action);
        } else if (!title.isEmpty() || !action.isEmpty()) {
            text = title.isEmpty() ? action : title;
        }
        m_site.ErrorBox(text);
        return m_state.load();
    }
    if (name == u"pbar-done") {
        return Done();
    }
    if (name == u"pbar-cancel-info") {
        SetCancelURL(value(u"url"));
    }
    return m_state.load();
}

int CProgressBar::HandlePbarEndTag(const QString&) const {
    return m_state.load();
}
