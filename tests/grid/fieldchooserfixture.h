#pragma once

// "Select Fields" against the fake server after a login: a logged-in
// server in a World View, the main grid's site giving that server, the
// server's field list and the helpers that drive the dialog's lists.

#include "grid/fieldchooserdialog.h"
#include "mygridfixture.h"
#include "server/mysystem.h"
#include "settings/preferences.h"
#include "support/fakeloginreplies.h"
#include "tree/mytree.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include <memory>

// The server's fields: name, label, properties, description and a fifth
// value. The name column is hidden in the list's own grid, so placement
// moves it behind the others.
inline const QByteArray kFieldList = GridXml({{"name", "Name", "[H]"},
                                              {"label", "Label", ""},
                                              {"props", "Properties", ""},
                                              {"desc", "Description", ""},
                                              {"extra", "Extra", ""}},
                                             {{"a", "Alpha", "", "The first field", "1"},
                                              {"B", "Bravo", "", "The second field", "2"},
                                              {"c", "Charlie", "", "The third field", "3"},
                                              {"d", "Delta", "", "The fourth field", "4"},
                                              {"e", "Echo", "", "The fifth field", "5"},
                                              {"f", "Foxtrot", "", "The sixth field", "6"},
                                              {"h", "Hidden", "[H]", "Never offered", "7"}});

inline QStringList listTexts(const QListWidget& list) {
    QStringList labels;
    for (int row = 0; row < list.count(); ++row) {
        labels << list.item(row)->text();
    }
    return labels;
}

// A user's double-click: the view takes the double-click only on the item
// the first click pressed.
inline void doubleClick(QListWidget& list, int row) {
    const QPoint at = list.visualItemRect(list.item(row)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

inline void selectOnly(QListWidget& list, const QList<int>& rows) {
    list.clearSelection();
    for (const int row : rows) {
        list.item(row)->setSelected(true);
    }
}

class FieldChooserTest : public MyGridTest {
protected:
    void SetUp() override {
        MyGridTest::SetUp();
        fakelogin::ScriptCmiLogAndCancel(server);
        tree.AttachTreeCtrl(&control);
        systemSite.prefs = &prefs;
        systemSite.tree = &tree;
        CMySystem settings;
        settings.Host = u"127.0.0.1"_qs;
        settings.WebPort = server.Port();
        settings.User = u"ops"_qs;
        settings.Password = u"secret"_qs;
        serverItem = tree.AddSystemItem(tree.AddRootItem(u"W"_qs), u"alpha"_qs, settings);
        system = dynamic_cast<CMySystem*>(tree.GetSystem(serverItem));
        ASSERT_NE(system, nullptr);
        fakelogin::ScriptLogin(server, FakeLoginReply());
        QString error;
        ASSERT_EQ(system->Login(error, &tree, serverItem, false), 1) << error.toStdString();
        tree.SelectItem(serverItem, false);
        site.system = system;
    }
    // The grid outlives the fixture's settings and World View.
    void TearDown() override {
        dialog.reset();
        systemSite.prefs = nullptr;
        systemSite.tree = nullptr;
        MyGridTest::TearDown();
    }

    // The main grid shows b, a vanished field x, d hidden, and a.
    void loadMainGrid(const QString& fieldChooser = u"elements"_qs) {
        ASSERT_TRUE(load(
            GridXml({{"b", "Bravo", ""}, {"x", "Gone", ""}, {"d", "Delta", ""}, {"a", "Alpha", ""}},
                    {{"1", "2", "3", "4"}}),
            u"Action=Grid&FieldChooser="_qs + fieldChooser));
        grid->SetColumnWidth(grid->XmlColToGridCol(3) - 1, 0);
    }

    CFieldChooserDialog& start(const QByteArray& reply = kFieldList, int status = 200) {
        serve("Action=GetFieldList&Which=elements", FakeVelnixServer::Reply::Xml(reply, status));
        dialog = std::make_unique<CFieldChooserDialog>(grid, system);
        dialog->SetFieldList(u"elements"_qs);
        EXPECT_TRUE(dialog->Start());
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }

    int gridRequests() const {
        int count = 0;
        for (const auto& request : server.Requests()) {
            count += request.query.startsWith("Action=Grid") &&
                     !request.query.contains("checkconnection");
        }
        return count;
    }

    CPreferences prefs;
    QTreeWidget control;
    CMyTree tree;
    QTreeWidgetItem* serverItem = nullptr;
    CMySystem* system = nullptr;
    std::unique_ptr<CFieldChooserDialog> dialog;
};
