#include "app/window/startup_helpers.h"

#include "app/controls/skin_framework.h"
#include "app/errors/runtime_failure.h"
#include "app/platform/platform.h"
#include "app/window/contact.h"

#include <QBuffer>
#include <QCheckBox>
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

namespace velmora::Main {

namespace {

// Window style of the shell call: minimised, with focus.
constexpr int kMinimizedWithFocus = 2;

// Longest application title the platform shows in full.
constexpr qsizetype kLongestAppTitle = 40;

// Pointer images are a few kilobytes; a larger file is not one and is not read.
constexpr qint64 kLargestCursorFile = qint64{4} * 1024 * 1024;

RuntimeFailure invalidPicture()
{
    return RuntimeFailure(481, u"Invalid picture"_s);
}

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

void ApplySkin(QWidget& window, SkinFramework& skin)
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

    skin.LoadSkin(skinFile, QString());
    skin.setOptions(skin.Options() | 1);
    skin.switch5 = true;
    skin.switch10 = true;
    skin.ApplyWindow(window);
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

void SetAppTitle()
{
    platform().setAppTitle(appTitleFor(kProductName));
}

int webSiteDraw(double r)
{
    return static_cast<int>(r * 100) + 1;
}

void OpenWebSiteAtRandom()
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
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(u":/velmora/icons/velmora-%1.png"_s.arg(size), QSize(size, size));
    return icon;
}

QCursor loadCursorFile(const QString& path)
{
    if (platform().fileLength(path) > kLargestCursorFile)
        throw invalidPicture();
    QByteArray bytes = platform().readWholeFile(path);

    // Icon directory: reserved 0, type 1 (icon) or 2 (cursor), then one 16-byte entry per
    // image; a cursor's entry holds its hot spot where an icon's holds planes and depth.
    auto word = [&](qsizetype at) {
        return static_cast<int>(static_cast<unsigned char>(bytes[at])) |
               static_cast<int>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    if (bytes.size() < 22 || word(0) != 0 || (word(2) != 1 && word(2) != 2) || word(4) < 1)
        throw invalidPicture();
    const bool isCursor = word(2) == 2;
    const int hotX = isCursor ? word(10) : -1;
    const int hotY = isCursor ? word(12) : -1;

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    const QImage image = reader.read();
    if (image.isNull())
        throw invalidPicture();
    // A hot spot outside the picture is the file's mistake; the picture's centre serves.
    const bool hotSpotInside =
        hotX >= 0 && hotY >= 0 && hotX < image.width() && hotY < image.height();
    return hotSpotInside ? QCursor(QPixmap::fromImage(image), hotX, hotY)
                         : QCursor(QPixmap::fromImage(image));
}

} // namespace velmora::Main
