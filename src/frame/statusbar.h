#pragma once

// The status bar's four panes, addressed by their indicator ids: 0 the
// message pane that stretches, then the user@server, row counter and
// progress panes, each as wide as its width text in the string table. The
// message pane shows the program's own text, or the prompt of the menu item
// or button under the pointer while it is highlighted.

#include <QStatusBar>

#include <array>

class QLabel;
class QProgressBar;

class CStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kMessagePane = 0;
    static constexpr int kUserPane = 32834;
    static constexpr int kRowCounterPane = 32811;
    static constexpr int kProgressPane = 32812;
    static constexpr std::array<int, 4> kIndicators{kMessagePane, kUserPane, kRowCounterPane,
                                                    kProgressPane};

    explicit CStatusBar(QWidget* parent = nullptr);

    // The pane number (0 to 3) of an indicator id, -1 for another id.
    static int PaneOfIndicator(int indicatorId);

    // False for an unknown pane number.
    bool SetPaneText(int pane, const QString& text);
    // The text a pane shows now, a prompt included.
    QString PaneText(int pane) const;
    // A prompt in the message pane over its own text, until EndPrompt.
    void ShowPrompt(const QString& prompt);
    void EndPrompt();
    QLabel* Pane(int pane) const;

    // The progress control inside the progress pane while a server job runs;
    // null when none is shown.
    QProgressBar* ShowProgressControl();
    void HideProgressControl();
    QProgressBar* ProgressControl() const { return m_progress; }

private:
    std::array<QLabel*, 4> m_panes{};
    // The message pane's own text, shown again when a prompt ends.
    QString m_messageText;
    QProgressBar* m_progress = nullptr;
};
