#pragma once

// The about window of the Help menu: the product bitmap with the product
// name, the version text, the legal line and warning, an OK button, a link
// to the notices window, and the maker's name at the top, which opens the
// maker's web page. At most one exists; the next input anywhere else in the
// program closes it.

#include "dialogs/inputcheckwindow.h"

#include <QPixmap>
#include <QPointer>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class CSplashAbout : public CInputCheckWindow {
    Q_OBJECT
public:
    static constexpr int kNoticesCommand = 5470;
    // The maker's web page, opened from the maker's name.
    static const QString& MakerPageURL();

    // Shows the window, or raises the one that exists.
    static void ShowSplashAbout(QWidget* parent = nullptr);
    // Kept for the About command, which passes 0; nothing reads it.
    static void SetSplashMode(int mode);
    static void Hide();
    // The window while it exists, else null.
    static CSplashAbout* Instance();

    // OK (1) closes the window; kNoticesCommand opens the notices window.
    void OnCommand(int id);
    // The maker's name in client coordinates: x above 110 up to 265, y 10 to 48.
    static bool InHotArea(QPoint position);

    QPlainTextEdit& VersionText() { return *m_version; }
    QPushButton& OkButton() { return *m_ok; }
    QLabel& NoticesLink() { return *m_notices; }

protected:
    bool KeepsPress(const QWidget* target, QPoint windowPosition) const override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    CSplashAbout(const QPixmap& bitmap, QWidget* parent);
    void fill();
    void trackHotArea(QPoint position, QPoint globalPosition);

    QPixmap m_bitmap;
    QPlainTextEdit* m_version = nullptr;
    QPushButton* m_ok = nullptr;
    QLabel* m_notices = nullptr;
    bool m_inHotArea = false;
};
