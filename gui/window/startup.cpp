// Start-up and shut-down of the main window.
#include "core/errors/guarded_procedure.h"
#include "core/errors/runtime_failure.h"
#include "core/input/file_helpers.h"
#include "core/platform/platform.h"
#include "core/platform/product.h"
#include "gui/controls/skin.h"
#include "gui/window/handler_locations.h"
#include "gui/window/main_window.h"
#include "gui/window/startup_helpers.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace velmora {

void MainWindow::startUp()
{
    // The skin is an invisible control of the window; it lives as its child.
    auto* skin = new Skin(this);

    GuardedProcedure proc(Location::startUp);
    proc.step(100, [&] { applySkin(*this, *skin); });

    // The caption, the icon and the application title share one step number, as three
    // short actions on one line, but each still fails on its own: a missing icon must not
    // keep the title from being set.
    proc.step(104, [&] { setWindowTitle(kProductName.toString()); });
    proc.step(104, [&] {
        const QIcon icon = programIcon();
        if (icon.availableSizes().isEmpty())
            throw Failure::fileNotFound();
        setWindowIcon(icon);
    });
    proc.step(104, [&] { setAppTitleFromProduct(); });

    QString handFile;
    if (proc.test(106, [&] {
            handFile = platform().programFolder() + u"\\HAND-M.CUR"_s;
            return input::fileExists(handFile);
        })) {
        proc.step(108, [&] { setMouseIcon(loadCursorFile(handFile)); });
    }

    proc.step(110, [&] { openWebSiteAtRandom(); });

    proc.step(128, [&] { inputList->columns().add(u"Input"_s); });
    proc.step(130, [&] { inputList->setColumnWidthTwips(1, kColumnWidthTwips); });
    proc.step(132, [&] { resultList->columns().add(u"Results"_s); });
    proc.step(134, [&] { resultList->setColumnWidthTwips(1, kColumnWidthTwips); });
}

void MainWindow::shutDown()
{
    // Ends the program at once. A command waiting in a yield (a sort, a save) would go on
    // after its yield returns; the platform's yield throws instead once the end has been
    // asked for, so the command unwinds past every error handler without another step, and
    // a save in progress is dropped before it replaces anything. exit() rather than quit():
    // quit() first asks the other windows to close and lets one of them refuse.
    platform().requestProgramEnd();
    QCoreApplication::exit(0);
}

} // namespace velmora
