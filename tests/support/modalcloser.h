#pragma once

// Closes the next modal dialog of the given kind once it shows, after
// letting `inspect` look at it, so a test can drive code that runs a dialog
// with exec(). A dialog that `inspect` ended itself (by clicking one of its
// buttons) keeps the answer it was given. Polls every 10 ms for at most five
// seconds.

#include <QApplication>
#include <QTimer>

#include <functional>

template <typename Dialog>
class ModalCloser {
public:
    explicit ModalCloser(std::function<void(Dialog&)> inspect = {})
        : m_inspect(std::move(inspect)) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
                m_timer.stop();
                seen = true;
                if (m_inspect) {
                    m_inspect(*dialog);
                }
                if (dialog->isVisible()) {
                    dialog->reject();
                }
            } else if (++m_ticks > 500) {
                m_timer.stop();
            }
        });
        m_timer.start();
    }

    bool seen = false;

private:
    std::function<void(Dialog&)> m_inspect;
    QTimer m_timer;
    int m_ticks = 0;
};
