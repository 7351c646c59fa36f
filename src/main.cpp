#include "app/firstpaintprobe.h"
#include "app/theapp.h"
#include "framework/kmemory.h"
#include "platform/webschemes.h"
#include "platform/pkcs11module.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[]) {
    // Before any thread starts: a large grid is freed on a worker.
    kMergeFreedBlocksAtOnce();
    // The web engine takes its schemes and context sharing before the
    // QApplication exists.
    RegisterWebSchemes();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    // Number formatting and parsing must never depend on the user's locale.
    std::setlocale(LC_NUMERIC, "C");

    CFirstPaintProbe::InstallIfAsked();
    int result = 0;
    {
        CTheApp app;
        const QStringList arguments = QApplication::arguments().mid(1);
        if (app.InitInstance(arguments)) {
            QApplication::exec();
        }
        result = app.ExitInstance();
    }
    // Once every worker has stopped, and before the modules' own statics go.
    CPkcs11Module::FinalizeAll();
    return result;
}
