#include "app/firstpaintprobe.h"
#include "app/theapp.h"
#include "app/webschemes.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[]) {
    // The web engine takes its schemes and context sharing before the
    // QApplication exists.
    RegisterWebSchemes();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    // Number formatting and parsing must never depend on the user's locale.
    std::setlocale(LC_NUMERIC, "C");

    CFirstPaintProbe::InstallIfAsked();
    CTheApp app;
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!app.InitInstance(arguments)) {
        return app.ExitInstance();
    }
    QApplication::exec();
    return app.ExitInstance();
}
