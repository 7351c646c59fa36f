#pragma once

// The busy animation at the right of the bars: a ring of dots whose bright
// dot goes round while the program is busy, and the first frame at rest.

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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    int m_frame = 0;
};
