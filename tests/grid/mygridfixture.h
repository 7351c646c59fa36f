#pragma once

// A shown data grid in a host window with recording sites for the grid and
// the server connections, the fake server that answers its requests, and
// the grid replies routed to the grid of their requester as the application
// routes them.

#include "framework/klog.h"
#include "grid/gridnavigator.h"
#include "grid/gridrequesters.h"
#include "grid/mygrid.h"
#include "grid/navigatorowner.h"
#include "gridctrl/gridfixture.h"
#include "net/netdispatcher.h"
#include "net/netthread.h"
#include "server/mysystem.h"
#include "support/fakevelnixserver.h"
#include "support/recordingmygridsite.h"
#include "support/recordingmysystemsite.h"
#include "support/recordingwireservices.h"
#include "support/temphome.h"

#include <QSignalSpy>

#include <map>
#include <memory>
#include <vector>

// Status texts by pane.
class StatusRecordingUiServices : public RecordingUiServices {
public:
    void SetStatusText(const QString& text, int indicator) override { panes[indicator] = text; }
    std::map<int, QString> panes;
};

// Hands each grid reply to the grid of its requester.
class GridReplyRouter : public INetUiReceiver {
public:
    explicit GridReplyRouter(CNetUiBridge& bridge) : m_bridge(bridge) {
        m_bridge.SetReceiver(this);
    }
    ~GridReplyRouter() override { m_bridge.SetReceiver(nullptr); }
    void OnGridDataReady(quint16 requesterId, CNamedPipe clientEnd) override {
        routed.push_back(RouteGridData(requesterId, std::move(clientEnd)));
    }
    void OnTreeDataReady(quint16, CNamedPipe) override {}
    void OnStatusText(const QString&) override {}
    void OnErrorBox(const QString& text, const QString&) override { errorBoxes.push_back(text); }

    std::vector<bool> routed;
    std::vector<QString> errorBoxes;

private:
    CNetUiBridge& m_bridge;
};

class MyGridTest : public TempHomeTest {
protected:
    // Generous: a load of many rows under the thread sanitizer on a busy
    // machine takes more than twenty seconds.
    static constexpr int kWaitMs = 60000;

    void SetUp() override {
        TempHomeTest::SetUp();
        kInit(QStringLiteral("grid"), tempFolder() + QStringLiteral("/grid.log"),
              tempFolder() + QStringLiteral("/grid.dbg"), 0);
        ASSERT_TRUE(server.IsListening());
        host.resize(800, 600);
        grid = makeGrid(QRect(0, 0, 800, 600));
        site.mainGrid = grid;
        host.show();
    }

    CMyGrid* makeGrid(const QRect& rect) {
        auto* made = new CMyGrid(&host);
        made->SetSite(&site);
        made->SetSavePrefsOnReset(false);
        EXPECT_TRUE(made->Create(rect, &host, 100));
        return made;
    }

    QString url(const QString& query) const {
        return server.BaseUrl() + QStringLiteral("/cmi/Services?") + query;
    }

    // Scripts the reply to a query; the session's probe of it gets an
    // empty answer rather than the reply.
    void serve(const QByteArray& query, const FakeVelnixServer::Reply& reply) {
        server.Script(FakeVelnixServer::kServicesPath, query, reply);
        server.Script(FakeVelnixServer::kServicesPath, query + "&checkconnection=1",
                      FakeVelnixServer::Reply::Xml({}));
    }

    // Serves `xml` for the query and loads it asynchronously into the grid
    // until the replay ends.
    bool load(const QByteArray& xml, const QString& query = QStringLiteral("Action=Grid")) {
        serve(query.toUtf8(), FakeVelnixServer::Reply::Xml(xml));
        return loadScripted(*grid, query);
    }

    bool loadScripted(CMyGrid& target, const QString& query) {
        QSignalSpy ended(&target, &CMyGrid::LoadEnded);
        if (target.GetData(url(query), nullptr, false) == 0) {
            return false;
        }
        return ended.wait(kWaitMs);
    }

    QStringList rowTexts(int row) const {
        QStringList texts;
        for (int col = 0; col < grid->GetColumnCount(); ++col) {
            texts << grid->GetItemText(row, col);
        }
        return texts;
    }

    const CellValue* valueAt(int row, int col) const {
        const CGridCellBase* cell = grid->GetCell(row, col);
        return cell != nullptr ? reinterpret_cast<const CellValue*>(cell->GetData()) : nullptr;
    }

    StatusRecordingUiServices ui;
    RecordingWireServices wire;
    RecordingMySystemSite systemSite;
    FakeVelnixServer server;
    GridReplyRouter router{systemSite.dispatcher.UiBridge()};
    RecordingMyGridSite site;
    // The selected item's server, for the tests that give the site one.
    CMySystem selectedServer;
    QWidget host;
    CMyGrid* grid = nullptr;
};

// The download reads a reply in pieces of 64 KiB, waiting for each to fill:
// white space after a held first chunk's rows makes them a whole piece.
inline const QByteArray kHeldPadding(CNetThread::kGridChunkBytes, ' ');

// Builds a grid reply: headers from (colname, colhead, colprops) triples,
// then rows of cell texts.
inline QByteArray GridXml(const std::vector<std::array<const char*, 3>>& columns,
                          const std::vector<std::vector<const char*>>& rows,
                          const QByteArray& extra = {}) {
    QByteArray xml = "<grid><grid-props><num-cols>" + QByteArray::number(columns.size()) +
                     "</num-cols></grid-props>" + extra + "<headers>";
    for (const auto& column : columns) {
        xml += QByteArray("<col><colname>") + column[0] + "</colname><colhead>" + column[1] +
               "</colhead><colprops>" + column[2] + "</colprops></col>";
    }
    xml += "</headers><data>";
    for (const auto& row : rows) {
        xml += "<r>";
        for (const char* cell : row) {
            xml += QByteArray("<c>") + cell + "</c>";
        }
        xml += "</r>";
    }
    return xml + "</data></grid>";
}
