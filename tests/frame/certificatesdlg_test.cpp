#include "frame/certificatesdlg.h"

#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

QPushButton* certificatesButton(CCertificatesDlg& dialog, int id) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->property("controlId").toInt() == id) {
            return button;
        }
    }
    return nullptr;
}

TEST(CertificatesDlg, OkWaitsForASelectionAndKeepsTheChosenLine) {
    CCertificatesDlg dialog;
    dialog.AddLine(QStringLiteral("Name: A; Issuer: CA"));
    dialog.AddLine(QStringLiteral("Name: B; Issuer: CA"));
    QPushButton* ok = certificatesButton(dialog, 1);
    ASSERT_NE(ok, nullptr);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(dialog.ChosenIndex(), -1);

    auto* list = dialog.findChild<QListWidget*>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->property("controlId").toInt(), CCertificatesDlg::kListId);
    list->setCurrentRow(1);
    EXPECT_TRUE(ok->isEnabled());
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ChosenIndex(), 1);
    EXPECT_EQ(dialog.ChosenText(), QStringLiteral("Name: B; Issuer: CA"));
}

TEST(CertificatesDlg, CancelChoosesNothing) {
    CCertificatesDlg dialog;
    dialog.AddLine(QStringLiteral("Name: A; Issuer: CA"));
    dialog.findChild<QListWidget*>()->setCurrentRow(0);
    certificatesButton(dialog, 2)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.ChosenIndex(), -1);
}

}  // namespace
