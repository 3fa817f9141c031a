// "Help": the program's whole help is one message naming the contact page.
#include "app/errors/guarded_procedure.h"
#include "app/platform/platform.h"
#include "app/platform/product.h"
#include "app/window/handler_locations.h"
#include "app/window/main_window.h"

using namespace Qt::StringLiterals;

namespace velmora {

void MainWindow::showHelp()
{
    GuardedProcedure proc(Location::showHelp);
    proc.step(100, [] {
        platform().messageBox(u"Questions? Please contact Team Tarnwick at "_s +
                              kContactPageAddress.toString());
    });
}

} // namespace velmora
