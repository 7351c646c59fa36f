#include "frame/myviewdlg.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

CMyViewDlg::CMyViewDlg(int templateId, QWidget* parent, QTreeWidgetItem* currentItem)
    : QWidget(parent), m_templateId(templateId), m_currentItem(currentItem) {
    setProperty("controlId", templateId);
}

CMyViewDlg::~CMyViewDlg() = default;

void CMyViewDlg::GridFilterCommand(const QString&, const QString&) {}

namespace {

// The edit field with the focus inside the panel, as one of Qt's three kinds.
template <typename Edit>
Edit* focusedEditOf(const QWidget& panel) {
    auto* edit = qobject_cast<Edit*>(QApplication::focusWidget());
    return edit != nullptr && panel.isAncestorOf(edit) ? edit : nullptr;
}

}  // namespace

int CMyViewDlg::EditCopy() {
    if (auto* line = focusedEditOf<QLineEdit>(*this)) {
        line->copy();
        return 1;
    }
    if (auto* plain = focusedEditOf<QPlainTextEdit>(*this)) {
        plain->copy();
        return 1;
    }
    if (auto* rich = focusedEditOf<QTextEdit>(*this)) {
        rich->copy();
        return 1;
    }
    return 0;
}

int CMyViewDlg::EditPaste() {
    const auto writable = [](const QWidget* edit, bool readOnly) {
        return edit->isEnabled() && edit->isVisible() && !readOnly;
    };
    if (auto* line = focusedEditOf<QLineEdit>(*this); line != nullptr) {
        if (!writable(line, line->isReadOnly())) {
            return 0;
        }
        line->paste();
        return 1;
    }
    if (auto* plain = focusedEditOf<QPlainTextEdit>(*this); plain != nullptr) {
        if (!writable(plain, plain->isReadOnly())) {
            return 0;
        }
        plain->paste();
        return 1;
    }
    if (auto* rich = focusedEditOf<QTextEdit>(*this); rich != nullptr) {
        if (!writable(rich, rich->isReadOnly())) {
            return 0;
        }
        rich->paste();
        return 1;
    }
    return 0;
}
