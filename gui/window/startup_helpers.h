#pragma once

#include <QCursor>
#include <QIcon>
#include <QString>
#include <QStringView>

class QWidget;

// The start-up's procedures. None has an error handler of its own: failures pass to the
// start-up, which reports them under the calling step.
namespace velmora {

class Skin;

// When the skin file "x\o.cjs" (a normal file: a folder or a hidden file of that name does
// not count) is beside the program: gives the window and its option buttons, check boxes,
// frames and labels the system's button-face colour, then loads the skin into the
// framework and applies it to the window. Without the file nothing changes.
void applySkin(QWidget& window, Skin& skin);

// Sets the platform's application title from the product name (see appTitleFor).
void setAppTitleFromProduct();

// The lists' one column at start-up: short of the lists' 7800 twips, so its end shows.
inline constexpr int kColumnWidthTwips = 7000;

// The longest application title the platform shows in full.
inline constexpr qsizetype kLongestAppTitle = 40;

// The application title for a product name: cut before the last space at least once, and
// again while longer than kLongestAppTitle; a text without spaces stays as it is.
QString appTitleFor(QStringView productName);

// About one start in a hundred opens the maker's web site in the user's browser.
void openWebSiteAtRandom();

// The draw k = Int(r * 100) + 1, from 1 to 100, for r in [0, 1); 7 opens the site.
int webSiteDraw(double r);
inline constexpr int kWebSiteDraw = 7;

// The program's icon at every size the desktops ask for.
QIcon programIcon();

// A cursor file (Windows-form path) as a pointer, with the file's hot spot. Throws
// RuntimeFailure when the file cannot be read or is not an icon or cursor picture.
QCursor loadCursorFile(const QString& path);

} // namespace velmora
