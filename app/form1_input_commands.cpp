// Commands that fill, edit and clear the lists.
#include "app/error_report.h"
#include "app/form1.h"
#include "app/guarded_procedure.h"
#include "input/sample_text.h"

namespace velmora {

void Form1::PushButton3_Click()
{
    // Load Text From File: not built yet.
}

void Form1::PushButton8_Click()
{
    GuardedProcedure proc(Location::PushButton8_Click);
    const QStringList& lines = sampleLines();
    for (qsizetype i = 0; i < lines.size(); ++i)
        proc.step(100 + 2 * static_cast<int>(i), [&] { ListView1->ListItems().Add(lines[i]); });
}

void Form1::PushButton1_Click()
{
    GuardedProcedure proc(Location::PushButton1_Click);
    if (isBusy())
        return;
    proc.step(100, [&] { ListView1->ListItems().Clear(); });
}

void Form1::PushButton2_Click()
{
    GuardedProcedure proc(Location::PushButton2_Click);
    proc.step(100, [&] { ListView2->ListItems().Clear(); });
}

void Form1::ListView1_KeyDown(int /*keyCode*/, int /*shift*/) {}
void Form1::ListView2_KeyDown(int /*keyCode*/, int /*shift*/) {}

} // namespace velmora
