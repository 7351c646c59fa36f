#include "dialogs/promptdialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Runs the dialog; once it shows, checks that it starts empty, types the
// text and presses Enter (OK) or Esc (Cancel).
int answer(CPromptDialog& dialog, const QString& typed, Qt::Key key, QString* shownPrompt) {
    QTimer::singleShot(0, [&] {
        auto* edit = dialog.findChild<QLineEdit*>();
        EXPECT_TRUE(edit->text().isEmpty()) << "every run starts with an empty answer";
        *shownPrompt = dialog.findChild<QLabel*>()->text();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, key);
    });
    return dialog.exec();
}

TEST(PromptDialogTest, AnswersOnlyWhenAccepted) {
    const struct {
        const char* typed;
        Qt::Key key;
        int result;
        const char16_t* answer;
    } cases[] = {
        {"secret", Qt::Key_Escape, QDialog::Rejected, u""},
        {"", Qt::Key_Return, QDialog::Accepted, u""},
        {"node 7", Qt::Key_Return, QDialog::Accepted, u"node 7"},
        // The same object again: the earlier answer is gone.
        {"x", Qt::Key_Escape, QDialog::Rejected, u""},
    };
    CPromptDialog dialog(nullptr);
    dialog.m_strPromptText = QStringLiteral("Which node?");
    for (const auto& c : cases) {
        QString shown;
        EXPECT_EQ(answer(dialog, QString::fromUtf8(c.typed), c.key, &shown), c.result) << c.typed;
        EXPECT_EQ(dialog.m_strResultText, QString::fromUtf16(c.answer)) << c.typed;
        EXPECT_EQ(shown, u"Which node?");
    }
}

}  // namespace
