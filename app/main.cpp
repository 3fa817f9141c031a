#include "app/platform/qt/qt_platform.h"
#include "app/window/form1.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    velmora::QtPlatform realPlatform;
    const velmora::ScopedPlatform platformInUse(realPlatform);
    velmora::Form1 window;
    window.Form_Load();
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    window.show();
    return QApplication::exec();
}
