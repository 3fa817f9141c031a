#include "gui/platform/qt_platform.h"
#include "gui/window/main_window.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    velmora::QtPlatform realPlatform;
    const velmora::ScopedPlatform platformInUse(realPlatform);
    velmora::MainWindow window;
    window.startUp();
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    window.show();
    return QApplication::exec();
}
