// Start-up and shut-down of the main window.
#include "app/error_report.h"
#include "app/form1.h"
#include "app/guarded_procedure.h"
#include "app/platform.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace velmora {

void Form1::Form_Load()
{
    GuardedProcedure proc(Location::Form_Load);
    proc.step(104, [&] { setWindowTitle(u"Velmora"_s); });
    proc.step(128, [&] { ListView1->ColumnHeaders().Add(u"Input"_s); });
    proc.step(130, [&] { ListView1->ColumnHeaders().Item(1).setWidth(7000); });
    proc.step(132, [&] { ListView2->ColumnHeaders().Add(u"Results"_s); });
    proc.step(134, [&] { ListView2->ColumnHeaders().Item(1).setWidth(7000); });
}

void Form1::Form_Unload()
{
    // Ends the program at once: every command waiting in a yield unwinds, and the event
    // loop stops.
    platform().requestProgramEnd();
    QCoreApplication::quit();
}

} // namespace velmora
