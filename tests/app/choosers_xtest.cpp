// The element chooser in the running program on a real X display: its
// advanced filters opened with the mouse, every control inside the panel
// and clear of the grid below, kept as a screenshot beside the test binary.

#include "app/appfixture.h"
#include "dialogs/elemchooser.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "grid/mygrid.h"
#include "server/mysystem.h"
#include "support/fakeloginreplies.h"
#include "support/fakevelnixserver.h"
#include "support/gridreplies.h"
#include "support/xinput.h"
#include "tree/mytree.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Reply = FakeVelnixServer::Reply;

class ElemChooserScreenTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        QUILLEX_SKIP_WITHOUT_DESKTOP(false);
        ASSERT_TRUE(app->InitInstance({}));
        frame = app->MainFrame();
        frame->resize(1100, 800);
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
        fakelogin::ScriptCmiLogAndCancel(server);
        FakeLoginReply login;
        login.additionalFilter =
            "<element_type id='Router' value='r'/><element_type id='Switch' value='s'/>"
            "<nms_state id='Active' value='a'/><protocol id='SNMP' value='snmp'/>";
        fakelogin::ScriptLogin(server, login);
        QByteArray rows = MakeTextCellGridReply(40);
        rows.replace("<data>", "<unhide_advanced_filters>protocol</unhide_advanced_filters><data>");
        server.Script("/cmi/Services", "Action=GetElements", Reply::Xml(rows));
        QTreeWidgetItem* item = addLocalServerUnderRoot(server.Port());
        app->Tree().SelectItem(item, true);
        auto* system = dynamic_cast<CMySystem*>(app->Tree().GetSystem(item));
        ASSERT_NE(system, nullptr);
        QString error;
        ASSERT_NE(system->Login(error, &app->Tree(), item, false), 0) << error.toStdString();
        app->Tree().SelectItem(item, true);
    }

    bool loaded() const {
        const CMyGrid* grid = frame->GetGrid();
        return QTest::qWaitFor([&] {
            return grid->isVisible() && !grid->IsLoadRunning() && !grid->IsReading() &&
                   grid->GetRowCount() - grid->GetFixedRowCount() == 40;
        });
    }

    FakeVelnixServer server;
    CMainFrame* frame = nullptr;
};

TEST_F(ElemChooserScreenTest, AdvancedFiltersShowWholeAboveTheGrid) {
    ASSERT_EQ(frame->ShowCurl(u"ElemChooser:/cmi/Services?Action=GetElements"_qs), 1);
    auto* chooser = qobject_cast<CElemChooser*>(frame->GetMyView()->Panel());
    ASSERT_NE(chooser, nullptr);
    ASSERT_TRUE(loaded());
    const int collapsed = chooser->height();

    QTest::mouseClick(chooser->Control(5618), Qt::LeftButton);
    QTest::mouseClick(chooser->Control(5607), Qt::LeftButton);
    QWidget* advanced = chooser->Control(5638);
    ASSERT_TRUE(QTest::qWaitFor([&] { return advanced->isVisible(); }));
    auto* type = qobject_cast<QComboBox*>(chooser->Control(5594));
    QTest::mouseClick(type, Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(type->currentText(), u"Router");
    EXPECT_TRUE(chooser->Control(5065)->isEnabled());

    EXPECT_GT(chooser->height(), collapsed);
    const QRect panel = chooser->rect();
    EXPECT_TRUE(panel.contains(QRect(advanced->mapTo(chooser, QPoint(0, 0)), advanced->size())))
        << "the advanced group lies inside the panel";
    for (const int id : {5237, 5594, 5600, 5601, 5599, 5593, 5596, 5595, 5598, 5024, 5025, 5620}) {
        QWidget* control = chooser->Control(id);
        ASSERT_TRUE(control->isVisible()) << id;
        const QRect shown(control->mapTo(chooser, QPoint(0, 0)), control->size());
        EXPECT_TRUE(panel.contains(shown)) << id;
        EXPECT_GE(control->height(), control->minimumSizeHint().height()) << id;
    }
    // The pattern edits of the left column line up.
    for (const int id : {5024, 5025}) {
        EXPECT_EQ(chooser->Control(id)->geometry().left(),
                  chooser->Control(5237)->geometry().left())
            << id;
        EXPECT_EQ(chooser->Control(id)->width(), chooser->Control(5237)->width()) << id;
    }
    const CMyGrid* grid = frame->GetGrid();
    EXPECT_GE(grid->geometry().top(), chooser->geometry().bottom()) << "the grid starts below";
    EXPECT_GT(grid->height(), 100) << "the grid keeps room for rows";

    QCoreApplication::processEvents();
    const QImage shot = frame->grab().toImage();
    const QString path = QCoreApplication::applicationDirPath() + u"/elemchooser-advanced.png"_qs;
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
}

// At the size a first start gives the window, every label and edit of the
// panel shows whole: none is squeezed below the size its text needs.
TEST_F(ElemChooserScreenTest, AtTheFirstStartSizeEveryLabelAndEditIsWhole) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    frame->resize(QGuiApplication::primaryScreen()->availableGeometry().size() * 3 / 4);
    ASSERT_EQ(frame->ShowCurl(u"ElemChooser:/cmi/Services?Action=GetElements"_qs), 1);
    auto* chooser = qobject_cast<CElemChooser*>(frame->GetMyView()->Panel());
    ASSERT_NE(chooser, nullptr);
    ASSERT_TRUE(loaded());
    ASSERT_TRUE(clickAt(chooser->Control(5618)->mapToGlobal(QPoint(8, 8))));
    QWidget* show = chooser->Control(5607);
    ASSERT_TRUE(clickAt(show->mapToGlobal(show->rect().center())));
    QWidget* advanced = chooser->Control(5638);
    ASSERT_TRUE(QTest::qWaitFor([&] { return advanced->isVisible(); }));
    QCoreApplication::processEvents();

    const QRect panel = chooser->rect();
    QList<QWidget*> controls;
    for (const int id : {5580, 5236, 5586, 5588, 5618, 5607, 5587, 5636}) {
        controls << chooser->Control(id);
    }
    for (QWidget* label : advanced->findChildren<QLabel*>()) {
        controls << label;
    }
    for (QWidget* control : controls) {
        if (!control->isVisible()) {
            continue;
        }
        const QString name = control->property("text").toString() + u" #"_qs +
                             control->property("controlId").toString();
        EXPECT_GE(control->width(), control->sizeHint().width()) << name.toStdString();
        EXPECT_TRUE(panel.contains(QRect(control->mapTo(chooser, QPoint(0, 0)), control->size())))
            << name.toStdString();
    }

    const QImage shot = frame->grab().toImage();
    const QString path = QCoreApplication::applicationDirPath() + u"/elemchooser-default.png"_qs;
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
}

}  // namespace
