// "Help": the program's whole help is one message naming the contact page.
#include "app/errors/error_report.h"
#include "app/errors/guarded_procedure.h"
#include "app/platform/platform.h"
#include "app/window/contact.h"
#include "app/window/form1.h"

using namespace Qt::StringLiterals;

namespace velmora {

void Form1::PushButton6_Click()
{
    GuardedProcedure proc(Location::PushButton6_Click);
    proc.step(100, [] {
        platform().messageBox(u"Questions? Please contact Team Tarnwick at "_s +
                              kContactPageAddress.toString());
    });
}

} // namespace velmora
