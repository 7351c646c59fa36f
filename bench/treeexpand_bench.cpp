// A server node of 10,000 items opened the way the user opens it: a click on
// its expand button in the World View pane of the running program sends the
// tree request to the fake server on the loopback, the reply comes back
// through the tree pipe and is read into the tree, until the node is painted
// expanded. Against addChildren of the same labels and icons into a shown
// QTreeWidget, expanded and painted, in the same run: the bare work of
// showing those items. Every run checks the items the node ends with (their
// count, labels in order, and tree URLs). Also the longest stall of the UI
// thread (the largest gap between two ticks of a 1 ms timer).

#include "app/theapp.h"
#include "benchtools.h"
#include "frame/mainframe.h"
#include "platform/webschemes.h"
#include "server/mysystem.h"
#include "support/fakevelnixserver.h"
#include "tree/leftview.h"
#include "tree/mytree.h"
#include "tree/treeimages.h"
#include "tree/treenode.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kItems = 10000;
constexpr int kRuns = 5;
constexpr int kWaitMs = 60000;

QString itemLabel(int index) {
    return QStringLiteral("interface-%1").arg(index);
}

QByteArray treeReply() {
    QByteArray reply = "<tree>\n";
    for (int i = 0; i < kItems; ++i) {
        reply += "  <item label='" + itemLabel(i).toUtf8() + "' tree-url='/i/" +
                 QByteArray::number(i) + "'/>\n";
    }
    return reply + "</tree>\n";
}

// Lets events run until the condition holds; false after kWaitMs.
bool waitFor(const std::function<bool()>& condition) {
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > kWaitMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

// A home of its own, so the program reads and writes no user settings.
void useHome(const QString& home) {
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    qputenv("TMPDIR", QFile::encodeName(home));
}

// Seconds to add the labels and icons under one node of a shown tree,
// expand it and paint it.
double bareInsert(const QSize& size, const QIcon& icon) {
    QTreeWidget control;
    control.setHeaderHidden(true);
    control.setUniformRowHeights(true);
    control.resize(size);
    control.show();
    auto* node = new QTreeWidgetItem(&control, QStringList(QStringLiteral("node")));
    control.viewport()->repaint();
    QElapsedTimer timer;
    timer.start();
    QList<QTreeWidgetItem*> children;
    children.reserve(kItems);
    for (int i = 0; i < kItems; ++i) {
        auto* child = new QTreeWidgetItem(QStringList(itemLabel(i)));
        child->setIcon(0, icon);
        children.append(child);
    }
    node->addChildren(children);
    node->setExpanded(true);
    control.viewport()->repaint();
    return timer.nsecsElapsed() / 1e9;
}

// Whether the node holds the reply's items: their number, their labels in
// order and the tree URL each was given.
bool holdsTheReply(QTreeWidgetItem* node) {
    if (node->childCount() != kItems) {
        std::fprintf(stderr, "the node holds %d items, not %d\n", node->childCount(), kItems);
        return false;
    }
    for (int i = 0; i < kItems; ++i) {
        const CMyItem* record = CTreeNode::RecordOf(node->child(i));
        if (node->child(i)->text(0) != itemLabel(i) || record == nullptr ||
            record->TreeURL != QStringLiteral("/i/%1").arg(i)) {
            std::fprintf(stderr, "item %d is %s\n", i, qPrintable(node->child(i)->text(0)));
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    RegisterWebSchemes();
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QTemporaryDir home;
    useHome(home.path());

    FakeVelnixServer server;
    server.Script("/n", FakeVelnixServer::Reply::Xml(treeReply()));
    // The session's probe of the URL gets the short answer a server gives it.
    server.Script("/n", "checkconnection=1", FakeVelnixServer::Reply::Xml({}));

    bool ok = true;
    std::vector<double> expandRuns;
    std::vector<double> stallRuns;
    double bareSeconds = 0;
    {
        CTheApp app;
        app.Popups().SetPresenter([](QWidget*, const QString&, const QString& text, int) {
            std::fprintf(stderr, "box: %s\n", qPrintable(text));
            return 1;
        });
        if (!app.InitInstance({})) {
            std::fprintf(stderr, "the program did not start\n");
            return 1;
        }
        CMainFrame* frame = app.MainFrame();
        frame->resize(1024, 768);
        frame->show();
        CLeftView* pane = frame->GetLeftView();
        CMyTree& tree = app.Tree();
        if (tree.GetRootItem() == nullptr) {
            tree.AddRootItem(QStringLiteral("World View"));
        }
        CMySystem connection;
        connection.Host = QStringLiteral("127.0.0.1");
        connection.WebPort = static_cast<quint16>(server.Port());
        QTreeWidgetItem* serverItem =
            tree.AddSystemItem(tree.GetRootItem(), QStringLiteral("Srv"), connection);
        tree.AddItemsFromXML(
            QStringLiteral("<tree><item label='panel'/><item label='Node' tree-url='/n'/></tree>"),
            serverItem);
        QTreeWidgetItem* node = tree.FindChildByLabel(QStringLiteral("Node"), serverItem);
        if (pane == nullptr || node == nullptr) {
            std::fprintf(stderr, "no World View pane or node\n");
            return 1;
        }
        tree.Expand(serverItem, true);
        tree.SelectItem(serverItem, true);
        QIcon icon;
        for (int run = 0; run < kRuns; ++run) {
            tree.DeleteChildren(node);
            tree.SetHasChildren(node, true);
            pane->scrollToItem(node);
            pane->viewport()->repaint();
            const QRect text = pane->ItemTextRect(node);
            const QPoint button(text.left() - pane->indentation() / 2, text.center().y());

            StallMeter stalls;
            QElapsedTimer timer;
            stalls.Start();
            timer.start();
            QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, button);
            ok = waitFor([&] { return node->isExpanded() && node->childCount() == kItems; }) && ok;
            pane->viewport()->repaint();
            expandRuns.push_back(timer.nsecsElapsed() / 1e9);
            // Events that waited behind the expansion count as stalls too.
            QCoreApplication::processEvents();
            stalls.Stop();
            stallRuns.push_back(stalls.LongestMs());
            if (!holdsTheReply(node)) {
                ok = false;
                break;
            }
            const CMyItem* first = CTreeNode::RecordOf(node->child(0));
            icon = TreeImageIcon(first != nullptr ? first->ImageIdx : 0);
        }
        bareSeconds = medianSeconds(kRuns, [&] { return bareInsert(pane->size(), icon); });
    }
    if (expandRuns.empty()) {
        std::fprintf(stderr, "no expansion was measured\n");
        return 1;
    }
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    const double expandSeconds = median(expandRuns);

    printMachineLoad();
    std::printf("reply: %d items under one node%s\n", kItems,
                ok ? ", every run's items checked" : "; THE ITEMS ARE WRONG");
    std::printf("addChildren into a shown QTreeWidget: %.3f s (median of %d)\n", bareSeconds,
                kRuns);
    std::printf("expand-button click to the node painted: %.3f s (median of %zu)\n",
                expandSeconds, expandRuns.size());
    std::printf("expansion vs addChildren: %.2f (goal: <= 2)\n", expandSeconds / bareSeconds);
    std::printf("UI-thread stall: %.1f ms (goal: < 50), longest of all runs %.1f ms\n",
                median(stallRuns), *std::max_element(stallRuns.begin(), stallRuns.end()));
    return ok ? 0 : 1;
}
