#include "settings/promptforfile.h"
#include "settings/uithreadcall.h"

#include "support/temphome.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(FileFilter, TranslatesToQtSyntax) {
    const std::pair<QString, QString> cases[] = {
        {u"World View Files (*.zwv)|*.zwv|All Files (*.*)|*.*||"_qs,
         u"World View Files (*.zwv);;All Files (*)"_qs},
        {u"Scripts|*.curl;*.txt||"_qs, u"Scripts (*.curl *.txt)"_qs},
        {u"Pages (html)|*.htm; *.html"_qs, u"Pages (*.htm *.html)"_qs},
        {u"Broken|"_qs, u"Broken (*)"_qs},
        {u""_qs, u""_qs},
    };
    for (const auto& [windows, qt] : cases) {
        EXPECT_EQ(TranslateFileFilter(windows), qt) << windows.toStdString();
    }
}

class PromptForFileTest : public TempHomeTest {
protected:
    // Answers the next file dialog with the name, or cancels it for an empty one.
    static void answerNextDialog(const QString& name) {
        QTimer::singleShot(0, [name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            if (name.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->selectFile(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }
};

TEST_F(PromptForFileTest, ReturnsTheChosenPathOrNothing) {
    const QString existing = writeFile(u"views/a.zwv"_qs, "<tree/>");
    QString path = u"unchanged"_qs;
    answerNextDialog(existing);
    EXPECT_TRUE(
        PromptForFile(true, path, {}, u"zwv"_qs, u"World View (*.zwv)|*.zwv||"_qs, nullptr));
    EXPECT_EQ(path, existing);

    path = u"unchanged"_qs;
    answerNextDialog({});
    EXPECT_FALSE(PromptForFile(false, path, existing, u"zwv"_qs, {}, nullptr));
    EXPECT_EQ(path, u"unchanged"_qs);

    answerNextDialog(root() + u"/views/new"_qs);
    EXPECT_TRUE(PromptForFile(false, path, {}, u".zwv"_qs, u"World View|*.zwv||"_qs, nullptr));
    EXPECT_EQ(path, root() + u"/views/new.zwv"_qs);
}

TEST(UiThreadCall, WorkersGoThroughTheInstalledRunner) {
    const UiWork work = [] { return qintptr(42); };
    qintptr result = 0;
    EXPECT_TRUE(RunOnUiThread(u"test", work, &result));
    EXPECT_EQ(result, 42);

    bool ran = true;
    std::thread([&] { ran = RunOnUiThread(u"test", work, &result); }).join();
    EXPECT_FALSE(ran);

    int runnerCalls = 0;
    SetSettingsUiRunner([&runnerCalls](const UiWork& runnerWork, qintptr* runnerResult) {
        ++runnerCalls;
        *runnerResult = runnerWork() + 1;
        return true;
    });
    result = 0;
    std::thread([&] { ran = RunOnUiThread(u"test", work, &result); }).join();
    SetSettingsUiRunner({});
    EXPECT_TRUE(ran);
    EXPECT_EQ(runnerCalls, 1);
    EXPECT_EQ(result, 43);
}

}  // namespace
