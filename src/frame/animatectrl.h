#pragma once

// The busy animation at the right end of the menu bar: a ring of dots whose
// bright dot goes round while the program is busy, and the first frame at
// rest. It takes its right clicks itself: a right double-click is the
// developers' way to the About box, and the bars' menu must not pop up on the
// first click of the pair.

#include <QTimer>
#include <QWidget>

class CAnimateCtrl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrames = 12;
    static constexpr int kFrameMs = 80;

    explicit CAnimateCtrl(QWidget* parent = nullptr);

    // Plays every frame from the first, round and round.
    void Play();
    // Stops and shows the first frame.
    void Stop();
    bool IsPlaying() const { return m_timer.isActive(); }

    QSize sizeHint() const override { return {24, 24}; }

Q_SIGNALS:
    void RightDoubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QTimer m_timer;
    int m_frame = 0;
};
