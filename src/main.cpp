#include "framework/klog.h"
#include "platform/paths.h"

#include <QApplication>
#include <QDir>

#include <clocale>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // Number formatting and parsing must never depend on the user's locale.
    std::setlocale(LC_NUMERIC, "C");

    const QString settingsFolder = AppDataFolder();
    QDir().mkpath(settingsFolder);
    kInit(QStringLiteral("ZRM"), PathJoin(settingsFolder, u"Quillex.log"),
          PathJoin(settingsFolder, u"Quillex.dbg"), 0);
    kDebugLog(u"Quillex starting");
    kDebugLog(u"Quillex ending");
    return 0;
}
