#include "app/window/form1.h"

#include "app/controls/twips.h"
#include "app/errors/error_report.h"
#include "app/errors/guarded_procedure.h"
#include "app/window/accessibility.h"

#include <QCloseEvent>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

constexpr int kClientWidthTwips = 8040;
constexpr int kClientHeightTwips = 9090;

const QString kListToolTip = u"Double-click item to remove it. Move | line to right and out of "
                             u"window to reveal full names."_s;

QFont arialBold(double points)
{
    QFont font(u"Arial"_s);
    font.setStyleHint(QFont::SansSerif); // Liberation Sans, metric-compatible, where Arial is not
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

void placeInTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                        twipsToPixels(height));
}

// A caption that would not fit its designed width widens the control rather than clip.
void widenToCaption(QWidget* widget, int maxRight)
{
    const int wanted = widget->sizeHint().width();
    if (wanted > widget->width())
        widget->resize(std::min(wanted, maxRight - widget->x()), widget->height());
}

void setWhiteBackground(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(widget->backgroundRole(), Qt::white); // option buttons fill with Button
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

Form1::Form1(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"Form1"_s);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(u"Form1"_s); // the design caption; start-up names the window
    setFixedSize(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));
    setFont(arialBold(9));
    setWhiteBackground(this);
    setMouseTracking(true);
    buildControls();
    connectHandlers();
    setUpAccessibility(*this);
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    const QFont buttonFont = arialBold(11.25);
    auto makeButton = [&](const char16_t* name, const QString& caption, int left, int top,
                          int width) {
        auto* button = new VendorButton(caption, this);
        button->setObjectName(QString::fromUtf16(name));
        button->setFont(buttonFont);
        placeInTwips(button, left, top, width, 405);
        return button;
    };
    auto makeList = [&](const char16_t* name, int top, int height) {
        auto* list = new ListView(this);
        list->setObjectName(QString::fromUtf16(name));
        list->setToolTip(kListToolTip);
        placeInTwips(list, 120, top, 7800, height);
        return list;
    };

    ListView1 = makeList(u"ListView1", 120, 2085);
    PushButton3 = makeButton(u"PushButton3", u"Load Text From File"_s, 120, 2300, 7800);
    PushButton1 = makeButton(u"PushButton1", u"Clear Text"_s, 120, 2810, 3840);

    Frame1 = new QGroupBox(u"Options"_s, this);
    Frame1->setObjectName(u"Frame1"_s);
    Frame1->setMouseTracking(true);
    placeInTwips(Frame1, 120, 3270, 7800, 1400);
    setWhiteBackground(Frame1);
    Option1 = new QRadioButton(u"Sort Each Line Alphabetically"_s, Frame1);
    Option1->setObjectName(u"Option1"_s);
    placeInTwips(Option1, 240, 300, 2775, 255);
    Option2 = new QRadioButton(u"Sort Each Word Alphabetically"_s, Frame1);
    Option2->setObjectName(u"Option2"_s);
    placeInTwips(Option2, 240, 650, 2895, 255);
    Check5 = new QCheckBox(u"Put counter next to each result such as 1. 2. 3. 4. etc"_s, Frame1);
    Check5->setObjectName(u"Check5"_s);
    placeInTwips(Check5, 240, 1000, 4815, 285);
    for (QWidget* option : {static_cast<QWidget*>(Option1), static_cast<QWidget*>(Option2),
                            static_cast<QWidget*>(Check5)}) {
        setWhiteBackground(option);
        widenToCaption(option, Frame1->width() - 4);
        // No hover handler of their own: moves over them must not reach the frame's.
        option->setAttribute(Qt::WA_NoMousePropagation);
    }
    Option1->setChecked(true);

    PushButton17 = makeButton(u"PushButton17", u"Start Sorting"_s, 120, 4800, 7800);
    ListView2 = makeList(u"ListView2", 5310, 2130);
    PushButton4 = makeButton(u"PushButton4", u"Save Results As Text File"_s, 120, 7530, 3840);
    PushButton5 = makeButton(u"PushButton5", u"Copy Results To Clipboard"_s, 4080, 7530, 3840);
    PushButton2 = makeButton(u"PushButton2", u"Clear Results"_s, 120, 8040, 3840);
    PushButton6 = makeButton(u"PushButton6", u"Help"_s, 4080, 8040, 3840);
    PushButton8 = makeButton(u"PushButton8", u"Load Sample/Example Text"_s, 4080, 2810, 3840);

    ProgressBar1 = new VendorProgressBar(this);
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setText(kRestingProgressText.toString());
    ProgressBar1->setAttribute(Qt::WA_NoMousePropagation);
    placeInTwips(ProgressBar1, 120, 8560, 7800, 405);

    // Tab order of the design; the frame and the bar take no focus, and the two option
    // buttons share one stop (arrow keys move between them).
    Frame1->setFocusPolicy(Qt::NoFocus);
    ProgressBar1->setFocusPolicy(Qt::NoFocus);
    const QList<QWidget*> tabOrder = {ListView1,   PushButton3,  PushButton1, Option1,
                                      Check5,      PushButton17, ListView2,   PushButton4,
                                      PushButton5, PushButton2,  PushButton6, PushButton8};
    for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
    setTabOrder(Option1, Option2);
    setTabOrder(Option2, Check5);
}

void Form1::connectHandlers()
{
    auto onClick = [this](VendorButton* button, void (Form1::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] {
            runEventHandler(Location::Form1Events, [&] { (this->*handler)(); });
        });
    };
    onClick(PushButton17, &Form1::PushButton17_Click);
    onClick(PushButton3, &Form1::PushButton3_Click);
    onClick(PushButton8, &Form1::PushButton8_Click);
    onClick(PushButton1, &Form1::PushButton1_Click);
    onClick(PushButton2, &Form1::PushButton2_Click);
    onClick(PushButton4, &Form1::PushButton4_Click);
    onClick(PushButton5, &Form1::PushButton5_Click);
    onClick(PushButton6, &Form1::PushButton6_Click);

    connect(ListView1, &ListView::KeyDown, this, [this](int keyCode, int shift) {
        runEventHandler(Location::ListView1_KeyDown, [&] { ListView1_KeyDown(keyCode, shift); });
    });
    connect(ListView2, &ListView::KeyDown, this, [this](int keyCode, int shift) {
        runEventHandler(Location::ListView2_KeyDown, [&] { ListView2_KeyDown(keyCode, shift); });
    });

    // Hover feedback: every place with a handler of its own reports its mouse moves here.
    for (QWidget* watched : std::initializer_list<QWidget*>{PushButton17, PushButton3, PushButton1,
                                                            PushButton4, PushButton2, PushButton5,
                                                            PushButton6, PushButton8, Frame1}) {
        watched->installEventFilter(this);
        watched->setAttribute(Qt::WA_NoMousePropagation);
    }
    // A move goes to the innermost widget under the mouse, and a list is made of several: the
    // rows' viewport, the column header and its own viewport, the scroll bars. Each reports.
    for (ListView* list : {ListView1, ListView2}) {
        QList<QWidget*> parts = list->findChildren<QWidget*>();
        parts.prepend(list);
        for (QWidget* part : parts) {
            part->setMouseTracking(true);
            part->installEventFilter(this);
        }
        list->setAttribute(Qt::WA_NoMousePropagation);
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseMove)
        return QWidget::eventFilter(watched, event);
    using Handler = void (Form1::*)();
    const std::pair<QObject*, Handler> handlers[] = {
        {PushButton17, &Form1::PushButton17_MouseMove},
        {PushButton3, &Form1::PushButton3_MouseMove},
        {PushButton1, &Form1::PushButton1_MouseMove},
        {PushButton4, &Form1::PushButton4_MouseMove},
        {PushButton2, &Form1::PushButton2_MouseMove},
        {PushButton5, &Form1::PushButton5_MouseMove},
        {PushButton6, &Form1::PushButton6_MouseMove},
        {PushButton8, &Form1::PushButton8_MouseMove},
        {Frame1, &Form1::Frame1_MouseMove},
    };
    for (const auto& [control, handler] : handlers) {
        if (watched == control) {
            (this->*handler)();
            return false;
        }
    }
    for (auto [list, handler] :
         {std::pair<ListView*, Handler>{ListView1, &Form1::ListView1_MouseMove},
          std::pair<ListView*, Handler>{ListView2, &Form1::ListView2_MouseMove}}) {
        if (watched == list ||
            (watched->isWidgetType() && list->isAncestorOf(static_cast<QWidget*>(watched)))) {
            (this->*handler)();
            return false;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

void Form1::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void Form1::setMousePointer(velmora::MousePointer pointer)
{
    m_mousePointer = pointer;
    applyPointerShape();
}

void Form1::setMouseIcon(const QCursor& cursor)
{
    m_mouseIcon = cursor;
    applyPointerShape();
}

void Form1::applyPointerShape()
{
    switch (m_mousePointer) {
    case velmora::MousePointer::Hourglass:
        setCursor(Qt::WaitCursor);
        break;
    case velmora::MousePointer::Custom:
        if (m_mouseIcon) {
            setCursor(*m_mouseIcon);
            break;
        }
        [[fallthrough]];
    case velmora::MousePointer::Default:
        setCursor(Qt::ArrowCursor);
        break;
    }
}

} // namespace velmora
