#pragma once

// The started program with a server entry for the fake server, selected:
// its element and job chooser curls load from that server, and the test
// reads the queries the server saw and the rows the grid holds.

#include "app/appfixture.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "grid/mygrid.h"
#include "support/fakevelnixserver.h"
#include "tree/mytree.h"

#include <QStringList>
#include <QTest>

class ChoosersFixture : public AppFixture {
protected:
    // The element chooser's navigator asks for the first chunk in the
    // server's order.
    static inline const QString kPaging =
        QStringLiteral("&chunk=1&numberOfElementsPerChunk=500&sort=&reverse=no");

    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(app->InitInstance({}));
        frame = app->MainFrame();
        item = addLocalServerUnderRoot(server.Port());
        app->Tree().SelectItem(item, true);
    }

    // The queries of one action's loads, in order.
    QStringList queries(const QByteArray& action) const {
        QStringList found;
        for (const auto& request : server.Requests()) {
            // The connection probe repeats a request; it is not the load.
            if (request.query.startsWith("Action=" + action) &&
                !request.query.contains("checkconnection")) {
                found << QString::fromUtf8(request.query);
            }
        }
        // Authentication retries may send a request more than once.
        found.removeDuplicates();
        return found;
    }

    CMyGrid* grid() const { return frame->GetMyView()->GetGrid(); }
    int rows() const { return grid()->GetRowCount() - grid()->GetFixedRowCount(); }
    // The bounds are generous: ten thousand rows take seconds on a busy
    // machine, and a reply's first piece takes more than five under the
    // thread sanitizer.
    static constexpr int kLoadMs = 60000;
    bool loaded(int count) const {
        return QTest::qWaitFor(
            [&] { return rows() == count && !grid()->IsLoadRunning() && !grid()->IsReading(); },
            kLoadMs);
    }
    // The first rows of a reply are shown while the rest is still read.
    bool firstRowsShown() const {
        return QTest::qWaitFor([&] { return rows() > 0 && grid()->IsReading(); }, kLoadMs);
    }

    FakeVelnixServer server;
    CMainFrame* frame = nullptr;
    QTreeWidgetItem* item = nullptr;
};
