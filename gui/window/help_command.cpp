// "Help": the program's whole help is one message naming the contact page.
#include "core/errors/guarded_procedure.h"
#include "core/platform/platform.h"
#include "core/platform/product.h"
#include "gui/window/handler_locations.h"
#include "gui/window/main_window.h"

using namespace Qt::StringLiterals;

namespace velmora {

void MainWindow::showHelp()
{
    GuardedProcedure proc(Location::showHelp);
    proc.step(100, [] {
        platform().messageBox(u"Questions? Please contact "_s + kPublisher.toString() + u" at "_s +
                              kContactPageAddress.toString());
    });
}

} // namespace velmora
