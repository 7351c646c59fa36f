#pragma once

// Row 2 of the right-hand side: the plain-text editor.

#include <QPlainTextEdit>

class CEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CEditor(QWidget* parent = nullptr) : QPlainTextEdit(parent) {}
};
