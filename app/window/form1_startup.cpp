// Start-up and shut-down of the main window.
#include "app/controls/skin_framework.h"
#include "app/errors/error_report.h"
#include "app/errors/guarded_procedure.h"
#include "app/errors/runtime_failure.h"
#include "app/platform/platform.h"
#include "app/window/contact.h"
#include "app/window/form1.h"
#include "app/window/startup_helpers.h"
#include "input/file_helpers.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {
constexpr int kColumnWidthTwips = 7000; // short of the list's 7800, so the column end shows
}

void Form1::Form_Load()
{
    // The skin framework is an invisible control of the window; it lives as its child.
    auto* SkinFramework1 = new SkinFramework(this);

    GuardedProcedure proc(Location::Form_Load);
    proc.step(100, [&] { Main::ApplySkin(*this, *SkinFramework1); });

    proc.step(104, [&] { setWindowTitle(kProductName.toString()); });
    proc.step(104, [&] {
        const QIcon icon = Main::programIcon();
        if (icon.availableSizes().isEmpty())
            throw Failure::fileNotFound();
        setWindowIcon(icon);
    });
    proc.step(104, [&] { Main::SetAppTitle(); });

    QString handFile;
    if (proc.test(106, [&] {
            handFile = platform().programFolder() + u"\\HAND-M.CUR"_s;
            return Main::FileExists(handFile);
        })) {
        proc.step(108, [&] { setMouseIcon(Main::loadCursorFile(handFile)); });
    }

    proc.step(110, [&] { Main::OpenWebSiteAtRandom(); });

    proc.step(128, [&] { ListView1->ColumnHeaders().Add(u"Input"_s); });
    proc.step(130, [&] { ListView1->ColumnHeaders().Item(1).setWidth(kColumnWidthTwips); });
    proc.step(132, [&] { ListView2->ColumnHeaders().Add(u"Results"_s); });
    proc.step(134, [&] { ListView2->ColumnHeaders().Item(1).setWidth(kColumnWidthTwips); });
}

void Form1::Form_Unload()
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
