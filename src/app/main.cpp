// Program entry: the start-up refusals, then the main window.
#include "app/startup.h"
#include "main_window/main_window.h"
#include "platform/qt_platform.h"

#include <QApplication>
#include <QtGlobal>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(art);
    QApplication::setApplicationName(QStringLiteral("horokata"));

    horokata::QtPlatform platform;
    horokata::ProgramState globals;
    if (!horokata::startupAllowed(platform))
        return 1;

    horokata::MainWindow window(globals, platform, QCoreApplication::applicationDirPath());
    platform.beforeEvents = [&window] { window.sync(); };
    if (!window.Form_Load())
        return window.game().closing() ? 0 : 1;
    return app.exec();
}
