#pragma once

// Row 3 of the right-hand side: the embedded web browser.

#include <QWebEngineView>

struct CNavigateArgs;

class CBrowserView : public QWebEngineView {
    Q_OBJECT
public:
    explicit CBrowserView(QWidget* parent = nullptr);

    // Opens the URL in the pane.
    void Navigate(const QString& url);
    // Opens the URL with the arguments' headers, and posts their data when
    // there is any.
    void Navigate(const CNavigateArgs& args);
    // Stops a navigation in progress.
    void Stop();
    // A page is loading.
    bool IsNavigating() const { return m_navigating; }

private:
    bool m_navigating = false;
};
