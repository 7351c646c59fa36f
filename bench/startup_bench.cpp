// Start-up: the program, with a warm settings folder and a World View to
// restore (so no first-run box), from exec to the first paint of its main
// window; against a bare Qt Widgets window with a tree beside a blank web
// view, started the same way. Runs alternate so both meet the same machine
// state. Each process writes the moment of its first paint
// (CLOCK_MONOTONIC) to a file and ends there (CFirstPaintProbe); the parent
// reads its peak memory from wait4.

#include "app/firstpaintprobe.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QWebEngineView>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

extern char** environ;

namespace {

constexpr int kRuns = 7;
constexpr const char* kBaselineArgument = "--baseline-window";

struct Start {
    double seconds = -1;
    long peakKilobytes = -1;
};

qint64 monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64{now.tv_sec} * 1000000000 + now.tv_nsec;
}

// Runs the command with the environment entries added; the time from the
// spawn to its first paint and its peak resident memory.
Start timeStart(const std::vector<QByteArray>& command, const std::vector<QByteArray>& extraEnv,
                const QString& paintFile) {
    QFile::remove(paintFile);
    std::vector<QByteArray> environment(extraEnv);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        environment.emplace_back(*entry);
    }
    std::vector<char*> argv;
    for (const QByteArray& part : command) {
        argv.push_back(const_cast<char*>(part.constData()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const QByteArray& entry : environment) {
        envp.push_back(const_cast<char*>(entry.constData()));
    }
    envp.push_back(nullptr);

    Start start;
    const qint64 spawned = monotonicNanoseconds();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) {
        std::fprintf(stderr, "could not start %s\n", argv[0]);
        return start;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        return start;
    }
    start.peakKilobytes = usage.ru_maxrss;
    QFile painted(paintFile);
    if (painted.open(QIODevice::ReadOnly)) {
        const qint64 at = painted.readAll().trimmed().toLongLong();
        start.seconds = at > spawned ? (at - spawned) / 1e9 : -1;
    }
    return start;
}

// The baseline: the same kinds of widgets the main window opens with.
int runBaselineWindow(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    CFirstPaintProbe::InstallIfAsked();
    QMainWindow window;
    auto* splitter = new QSplitter(&window);
    auto* tree = new QTreeWidget(splitter);
    tree->addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("World View")}));
    auto* web = new QWebEngineView(splitter);
    web->setUrl(QUrl(QStringLiteral("about:blank")));
    window.setCentralWidget(splitter);
    window.resize(1024, 768);
    window.show();
    return QApplication::exec();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], kBaselineArgument) == 0) {
        return runBaselineWindow(argc, argv);
    }
    QTemporaryDir home;
    const QString paintFile = home.filePath(QStringLiteral("painted"));
    const QString config = home.filePath(QStringLiteral(".config"));
    QDir().mkpath(config + QStringLiteral("/Zorvic/QVX"));
    const QString worldView = home.filePath(QStringLiteral("lab.zwv"));
    {
        QFile view(worldView);
        view.open(QIODevice::WriteOnly);
        view.write(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tree>\n  <root label='World View'>\n"
            "    <folder label='Lab'>\n      <system label='Alpha' server-type='.' "
            "hostname='127.0.0.1' web-port='1' protocol='http'>\n      </system>\n"
            "    </folder>\n  </root>\n</tree>\n");
        QFile ini(config + QStringLiteral("/Zorvic/QVX/Quillex.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write("ZWV=" + worldView.toUtf8() + '\n');
    }
    const std::vector<QByteArray> environment{
        "HOME=" + home.path().toUtf8(), "XDG_CONFIG_HOME=" + config.toUtf8(),
        "XDG_DATA_HOME=" + home.filePath(QStringLiteral("data")).toUtf8(),
        QByteArray(CFirstPaintProbe::kEnvironmentVariable) + '=' + paintFile.toUtf8(),
        "QTWEBENGINE_DISABLE_SANDBOX=1"};
    const std::vector<QByteArray> program{QUILLEX_BINARY};
    const std::vector<QByteArray> baseline{argv[0], kBaselineArgument};

    // One start of each first: the settings folder and the caches get warm.
    timeStart(program, environment, paintFile);
    timeStart(baseline, environment, paintFile);
    std::vector<double> programSeconds;
    std::vector<double> baselineSeconds;
    long programPeak = 0;
    long baselinePeak = 0;
    for (int run = 0; run < kRuns; ++run) {
        const Start ours = timeStart(program, environment, paintFile);
        const Start bare = timeStart(baseline, environment, paintFile);
        if (ours.seconds < 0 || bare.seconds < 0) {
            std::fprintf(stderr, "a start did not paint (run %d)\n", run);
            return 1;
        }
        programSeconds.push_back(ours.seconds);
        baselineSeconds.push_back(bare.seconds);
        programPeak = std::max(programPeak, ours.peakKilobytes);
        baselinePeak = std::max(baselinePeak, bare.peakKilobytes);
    }
    const double ours = median(programSeconds);
    const double bare = median(baselineSeconds);
    std::printf("program start to first paint: %.3f s (median of %d)\n", ours, kRuns);
    std::printf("bare tree and web view window: %.3f s (median of %d)\n", bare, kRuns);
    std::printf("start-up vs bare window: %.2f (goal: 1.5)\n", ours / bare);
    std::printf("program peak memory: %ld KiB\n", programPeak);
    std::printf("bare window peak memory: %ld KiB\n", baselinePeak);
    return 0;
}
