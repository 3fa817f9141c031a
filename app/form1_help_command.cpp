// "Help": the program's whole help is one message naming the contact page.
#include "app/contact.h"
#include "app/error_report.h"
#include "app/form1.h"
#include "app/guarded_procedure.h"
#include "app/platform.h"

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
