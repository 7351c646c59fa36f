#pragma once

// A text that behaves as a hyperlink: blue, underlined, a hand cursor over
// it, and a click that the owner acts on.

#include <QLabel>

class CStaticLink : public QLabel {
    Q_OBJECT
public:
    CStaticLink(const QString& text, QWidget* parent);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
