#include "gui/window/startup_helpers.h"

#include "core/errors/runtime_failure.h"
#include "core/formats/cursor_file.h"
#include "core/platform/platform.h"
#include "core/platform/product.h"
#include "gui/controls/skin.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>
#include <QWidget>

using namespace Qt::StringLiterals;

// The icon lives in the program library, which is linked statically: its resources are
// registered only when something asks for them.
static void registerIconResources()
{
    Q_INIT_RESOURCE(velmora);
}

namespace velmora {

namespace {

// Window style of the shell call: minimised, with focus.
constexpr int kMinimizedWithFocus = 2;

// The system colour for button faces, as the window colour and as the colour the control
// fills its background with (option buttons and check boxes fill with their button colour).
void giveButtonFaceBackground(QWidget& widget)
{
    const QPalette system = QGuiApplication::palette();
    QPalette palette = widget.palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor face = system.color(group, QPalette::Button);
        palette.setColor(group, QPalette::Window, face);
        palette.setColor(group, widget.backgroundRole(), face);
    }
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

bool takesWindowColours(const QWidget& control)
{
    return qobject_cast<const QRadioButton*>(&control) ||
           qobject_cast<const QCheckBox*>(&control) || qobject_cast<const QGroupBox*>(&control) ||
           qobject_cast<const QLabel*>(&control);
}

} // namespace

void applySkin(QWidget& window, Skin& skin)
{
    const QString skinFile = platform().programFolder() + u"\\x\\o.cjs"_s;
    if (!platform().normalFileExists(skinFile))
        return;

    // Lists, buttons and the progress bar keep their own colours. A child follows the
    // window's background colour unless it has one of its own, and the styles draw button
    // outlines, list frames and the bar's groove from it; so every control left alone first
    // takes the colour it inherits now as its own.
    const QList<QWidget*> controls = window.findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (control->isWindow() || takesWindowColours(*control))
            continue;
        QPalette own = control->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            own.setColor(group, QPalette::Window, own.color(group, QPalette::Window));
        control->setPalette(own);
    }
    giveButtonFaceBackground(window);
    for (QWidget* control : controls) {
        if (!control->isWindow() && takesWindowColours(*control))
            giveButtonFaceBackground(*control);
    }

    skin.load(skinFile);
    skin.applyTo(window);
}

QString appTitleFor(QStringView productName)
{
    QStringView title = productName;
    do {
        const qsizetype space = title.lastIndexOf(u' ');
        if (space < 0)
            break;
        title = title.left(space);
    } while (title.size() > kLongestAppTitle);
    return title.toString();
}

void setAppTitleFromProduct()
{
    platform().setAppTitle(appTitleFor(kProductName));
}

int webSiteDraw(double r)
{
    return static_cast<int>(r * 100) + 1;
}

void openWebSiteAtRandom()
{
    platform().randomize();
    if (webSiteDraw(platform().rnd()) != kWebSiteDraw)
        return;
    QString commandLine = u"explorer \""_s;
    commandLine.append(kWebSiteAddress).append(u'"');
    platform().shellRun(commandLine, kMinimizedWithFocus);
}

QIcon programIcon()
{
    registerIconResources();
    QIcon icon;
    // Each picture's size is read from the picture itself.
    const QDir pictures(u":/velmora/icons"_s);
    for (const QString& name : pictures.entryList(QDir::Files))
        icon.addFile(pictures.filePath(name));
    return icon;
}

QCursor loadCursorFile(const QString& path)
{
    CursorFile file = readCursorFile(path);
    QBuffer buffer(&file.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    const QImage image = reader.read();
    if (image.isNull())
        throw Failure::invalidPicture();
    // A hot spot outside the picture is the file's mistake; the picture's centre serves.
    if (file.hotSpot && QRect(QPoint(0, 0), image.size()).contains(*file.hotSpot))
        return QCursor(QPixmap::fromImage(image), file.hotSpot->x(), file.hotSpot->y());
    return QCursor(QPixmap::fromImage(image));
}

} // namespace velmora
