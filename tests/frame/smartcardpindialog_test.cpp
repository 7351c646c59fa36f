#include "frame/smartcardpindialog.h"

#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

bool showsFinalTryWarning(const CSmartCardPinDialog& dialog) {
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->property("finalTry").toBool()) {
            return true;
        }
    }
    return false;
}

TEST(SmartCardPinDialog, NamesTheTokenMasksThePinAndWarnsAtTheFinalTry) {
    for (const bool finalTry : {false, true}) {
        CSmartCardPinDialog dialog(QStringLiteral("<b>Card</b>"), finalTry);
        bool named = false;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            named =
                named || (label->text() == u"<b>Card</b>" && label->textFormat() == Qt::PlainText);
        }
        EXPECT_TRUE(named) << "the token's label is shown as it is, never as markup";
        EXPECT_EQ(showsFinalTryWarning(dialog), finalTry);
        auto* pin = dialog.findChild<QLineEdit*>();
        ASSERT_NE(pin, nullptr);
        EXPECT_EQ(pin->echoMode(), QLineEdit::Password);
        pin->setText(QStringLiteral("2468"));
        EXPECT_EQ(dialog.Pin(), QStringLiteral("2468"));
    }
}

}  // namespace
