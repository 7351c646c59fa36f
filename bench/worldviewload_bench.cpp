// A World View of many server entries read into the tree the way the
// program restores it, against a bare expat parse of the same text in the
// same run. Prints the ratio of the two and the memory each entry takes.

#include "benchprocess.h"
#include "benchtools.h"
#include "tree/mytree.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTreeWidget>

#include <expat.h>

#include <algorithm>
#include <cstdio>

namespace {

// The user data is a long that counts the start tags.
void XMLCALL countStart(void* count, const XML_Char*, const XML_Char**) {
    ++*static_cast<long*>(count);
}
void XMLCALL ignoreEnd(void*, const XML_Char*) {}
void XMLCALL ignoreText(void*, const XML_Char*, int) {}

// Seconds for a bare expat parse with empty handlers, of the whole text in
// one call, or fed in pieces of `pieceBytes` as a download feeds it (expat
// then also keeps track of its position after each piece); `elements`
// counts the start tags.
double bareParse(const QByteArray& reply, qsizetype pieceBytes, long& elements) {
    QElapsedTimer timer;
    timer.start();
    XML_Parser parser = XML_ParserCreate(nullptr);
    elements = 0;
    XML_SetUserData(parser, &elements);
    XML_SetElementHandler(parser, countStart, ignoreEnd);
    XML_SetCharacterDataHandler(parser, ignoreText);
    bool parsed = true;
    for (qsizetype at = 0; parsed && at < reply.size(); at += pieceBytes) {
        const qsizetype length = std::min(pieceBytes, reply.size() - at);
        parsed = XML_Parse(parser, reply.constData() + at, static_cast<int>(length),
                           at + length == reply.size()) == XML_STATUS_OK;
    }
    XML_ParserFree(parser);
    if (!parsed) {
        std::fprintf(stderr, "the bare parse failed\n");
    }
    return timer.nsecsElapsed() / 1e9;
}

constexpr int kServers = 20000;
constexpr int kServersPerFolder = 100;
constexpr int kRuns = 3;

QString makeWorldView() {
    QString text = QStringLiteral("<tree>\n  <root label='World View'>\n");
    for (int server = 0; server < kServers; ++server) {
        if (server % kServersPerFolder == 0) {
            if (server != 0) {
                text += QStringLiteral("    </folder>\n");
            }
            text +=
                QStringLiteral("    <folder label='Site %1'>\n").arg(server / kServersPerFolder);
        }
        text += QStringLiteral(
                    "      <system label='node-%1' server-type='Q' hostname='h%1' "
                    "web-port='8080' protocol='http'>\n      </system>\n")
                    .arg(server);
    }
    return text + QStringLiteral("    </folder>\n  </root>\n</tree>\n");
}

}  // namespace

int main(int argc, char** argv) {
    BenchProcess process(argc, argv);
    const QString worldView = makeWorldView();
    const QByteArray utf8 = worldView.toUtf8();

    double bare = 1e9;
    double load = 1e9;
    long elements = 0;
    long growth = 0;
    int loaded = 0;
    for (int run = 0; run < kRuns; ++run) {
        bare = std::min(bare, bareParse(utf8, utf8.size(), elements));
        QTreeWidget control;
        CMyTree tree;
        tree.AttachTreeCtrl(&control);
        const long before = statusKilobytes("VmRSS:");
        QElapsedTimer timer;
        timer.start();
        loaded = tree.ReplaceFromXML(worldView);
        load = std::min(load, timer.nsecsElapsed() / 1e9);
        growth = std::max(growth, statusKilobytes("VmRSS:") - before);
    }
    std::printf("World View: %d servers in %d folders, %.1f MB, %ld elements\n", kServers,
                kServers / kServersPerFolder, utf8.size() / 1e6, elements);
    std::printf("bare expat parse:       %.3f s (best of %d)\n", bare, kRuns);
    std::printf("World View read:        %.3f s (best of %d)\n", load, kRuns);
    std::printf("ratio to the bare parse: %.1f (goal: 50 or less)\n", load / bare);
    std::printf("memory per server entry: %.1f KB (goal: 8 or less)\n",
                static_cast<double>(growth) / kServers);
    return loaded == 1 ? 0 : 1;
}
