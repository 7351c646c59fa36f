#include "frame/panelfactory.h"
#include "frame/curllocator.h"
#include "frame/myviewdlg.h"
#include "framework/klog.h"
#include "support/temphome.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

using PanelFactory = TempHomeTest;

TEST_F(PanelFactory, MakesRegisteredPanelsHiddenAndNothingForOtherCodes) {
    const QString logPath = root() + QStringLiteral("/Quillex.log");
    kInit(QStringLiteral("ZRM"), logPath, root() + QStringLiteral("/Quillex.dbg"), 0);
    QWidget view;
    CPanelFactory factory;
    EXPECT_EQ(factory.Create({5621, QStringLiteral("/cmi/j"), &view, nullptr}), nullptr)
        << "a code nothing registered makes no panel";
    // The server named a panel this program does not have.
    const QString log = QString::fromUtf8(readFile(logPath));
    EXPECT_TRUE(QRegularExpression(QStringLiteral(
                                       R"(\| WAR \|[^\n]*\| Unknown panel code 5621 \(/cmi/j\) )"
                                       R"(from the server: ignored\.\n)"))
                    .match(log)
                    .hasMatch())
        << log.toStdString();

    QString seenLocator;
    factory.Register(5621, [&](const CPanelRequest& request) {
        seenLocator = request.locator;
        auto* panel = new CMyViewDlg(request.code, request.parent, request.context);
        panel->show();
        return panel;
    });
    CMyViewDlg* panel = factory.Create({5621, QStringLiteral("http://h/cmi/j"), &view, nullptr});
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->parentWidget(), &view);
    EXPECT_EQ(panel->TemplateId(), 5621);
    EXPECT_TRUE(panel->isHidden()) << "the view shows a panel when it lays it out";
    EXPECT_EQ(seenLocator, QStringLiteral("http://h/cmi/j"));
}

// A panel with one edit field, shown so that it can take the focus.
class EditPanel : public ::testing::Test {
protected:
    void SetUp() override {
        panel = new CMyViewDlg(302, &window, nullptr);
        auto* layout = new QVBoxLayout(panel);
        field = new QLineEdit(panel);
        layout->addWidget(field);
        window.show();
        panel->show();
        field->setFocus();
        QApplication::setActiveWindow(&window);
        QApplication::processEvents();
    }

    QWidget window;
    CMyViewDlg* panel = nullptr;
    QLineEdit* field = nullptr;
};

TEST_F(EditPanel, PasteGoesOnlyIntoAWritableEnabledField) {
    if (QApplication::focusWidget() != field) {
        GTEST_SKIP() << "this platform gives no focus to the field";
    }
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    const struct {
        bool readOnly;
        bool enabled;
        int result;
    } cases[] = {{true, true, 0}, {false, true, 1}};
    for (const auto& c : cases) {
        field->clear();
        field->setReadOnly(c.readOnly);
        field->setEnabled(c.enabled);
        EXPECT_EQ(panel->EditPaste(), c.result) << "read-only " << c.readOnly;
        EXPECT_EQ(field->text(), c.result != 0 ? QStringLiteral("pasted") : QString());
    }
    field->setText(QStringLiteral("copied"));
    field->selectAll();
    EXPECT_EQ(panel->EditCopy(), 1);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("copied"));
}

TEST(CurlLocator, PrefixesAndPayloads) {
    const struct {
        const char16_t* locator;
        LocatorKind kind;
        const char16_t* payload;
        int chooser;
    } cases[] = {
        {u"grid:/cmi/Services?Action=G", LocatorKind::Grid, u"/cmi/Services?Action=G", 0},
        {u"grid[x]/cmi/a", LocatorKind::Grid, u"x]/cmi/a", 0},
        {u"browser: \t\r\nhttp://h/p", LocatorKind::Browser, u"http://h/p", 0},
        {u"browsewait:/p", LocatorKind::BrowseWait, u"/p", 0},
        {u"ElemChooser:/e", LocatorKind::ElemChooser, u"/e", 302},
        {u"NodeChooser:/n", LocatorKind::NodeChooser, u"/n", 303},
        {u"JobChooser:/cmi/j", LocatorKind::JobChooser, u"/cmi/j", 5621},
        {u"tree:/t", LocatorKind::List, u"/t", 0},
        {u"list:", LocatorKind::List, u"", 0},
        {u"curl:x", LocatorKind::Action, u"x", 0},
        {u"Grid:/x", LocatorKind::Malformed, u"", 0},
        {u" grid:/x", LocatorKind::Malformed, u"", 0},
        {u"foo:bar", LocatorKind::Malformed, u"", 0},
    };
    for (const auto& c : cases) {
        const CCurlLocator parsed = CCurlLocator::Parse(QString::fromUtf16(c.locator));
        const QString locator = QString::fromUtf16(c.locator);
        EXPECT_EQ(parsed.kind, c.kind) << locator.toStdString();
        EXPECT_EQ(parsed.payload, QString::fromUtf16(c.payload)) << locator.toStdString();
        EXPECT_EQ(parsed.ChooserTemplate(), c.chooser) << locator.toStdString();
    }
}

}  // namespace
