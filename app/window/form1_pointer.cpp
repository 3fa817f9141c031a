// Hover feedback: the hand over command buttons, the arrow over the background, the frame
// and the lists. A running command's hourglass is never replaced.
#include "app/window/form1.h"

namespace velmora {

void Form1::hoverFeedback(velmora::MousePointer over)
{
    if (m_mousePointer != velmora::MousePointer::Hourglass && m_mousePointer != over)
        setMousePointer(over);
}

void Form1::Form_MouseMove()
{
    hoverFeedback(velmora::MousePointer::Default);
}
void Form1::Frame1_MouseMove()
{
    hoverFeedback(velmora::MousePointer::Default);
}
void Form1::ListView1_MouseMove()
{
    hoverFeedback(velmora::MousePointer::Default);
}
void Form1::ListView2_MouseMove()
{
    hoverFeedback(velmora::MousePointer::Default);
}
void Form1::PushButton17_MouseMove()
{
    hoverFeedback(velmora::MousePointer::Custom);
}
void Form1::PushButton3_MouseMove()
{
    hoverFeedback(velmora::MousePointer::Custom);
}
void Form1::PushButton1_MouseMove()
{
    hoverFeedback(velmora::MousePointer::Custom);
}
void Form1::PushButton4_MouseMove()
{
    hoverFeedback(velmora::MousePointer::Custom);
}
void Form1::PushButton2_MouseMove()
{
    hoverFeedback(velmora::MousePointer::Custom);
}
void Form1::PushButton5_MouseMove()
{
    hoverFeedback(velmora::MousePointer::Custom);
}
void Form1::PushButton6_MouseMove()
{
    hoverFeedback(velmora::MousePointer::Custom);
}
void Form1::PushButton8_MouseMove()
{
    hoverFeedback(velmora::MousePointer::Custom);
}

} // namespace velmora
