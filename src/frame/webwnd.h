#pragma once

// A plain window holding a browser, for pages the program shows on their
// own (help, a log). It opens blank; Navigate loads a page without
// recording it in the URL trail. Made without a parent it is a top-level
// window of its own.

#include <QWidget>

class CWebPane;

class CWebWnd : public QWidget {
    Q_OBJECT
public:
    explicit CWebWnd(QWidget* parent = nullptr);

    void Navigate(const QString& url);
    CWebPane& Browser() { return *m_browser; }

private:
    CWebPane* m_browser;
};
