#include "gui/window/main_window.h"

#include "core/errors/guarded_procedure.h"
#include "gui/controls/twips.h"
#include "gui/window/accessibility.h"
#include "gui/window/handler_locations.h"

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

MainWindow::MainWindow(QWidget* parent) : QWidget(parent)
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

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    const QFont buttonFont = arialBold(11.25);
    auto makeButton = [&](const char16_t* name, const QString& caption, int left, int top,
                          int width) {
        auto* button = new CommandButton(caption, this);
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

    inputList = makeList(u"ListView1", 120, 2085);
    loadTextFromFileButton = makeButton(u"PushButton3", u"Load Text From File"_s, 120, 2300, 7800);
    clearTextButton = makeButton(u"PushButton1", u"Clear Text"_s, 120, 2810, 3840);

    optionsFrame = new QGroupBox(u"Options"_s, this);
    optionsFrame->setObjectName(u"Frame1"_s);
    placeInTwips(optionsFrame, 120, 3270, 7800, 1400);
    setWhiteBackground(optionsFrame);
    sortLinesOption = new QRadioButton(u"Sort Each Line Alphabetically"_s, optionsFrame);
    sortLinesOption->setObjectName(u"Option1"_s);
    placeInTwips(sortLinesOption, 240, 300, 2775, 255);
    sortWordsOption = new QRadioButton(u"Sort Each Word Alphabetically"_s, optionsFrame);
    sortWordsOption->setObjectName(u"Option2"_s);
    placeInTwips(sortWordsOption, 240, 650, 2895, 255);
    counterCheck =
        new QCheckBox(u"Put counter next to each result such as 1. 2. 3. 4. etc"_s, optionsFrame);
    counterCheck->setObjectName(u"Check5"_s);
    placeInTwips(counterCheck, 240, 1000, 4815, 285);
    for (QWidget* option :
         {static_cast<QWidget*>(sortLinesOption), static_cast<QWidget*>(sortWordsOption),
          static_cast<QWidget*>(counterCheck)}) {
        setWhiteBackground(option);
        widenToCaption(option, optionsFrame->width() - 4);
        // No hover handler of their own: moves over them must not reach the frame's.
        option->setAttribute(Qt::WA_NoMousePropagation);
    }
    sortLinesOption->setChecked(true);

    startSortingButton = makeButton(u"PushButton17", u"Start Sorting"_s, 120, 4800, 7800);
    resultList = makeList(u"ListView2", 5310, 2130);
    saveResultsButton = makeButton(u"PushButton4", u"Save Results As Text File"_s, 120, 7530, 3840);
    copyResultsButton =
        makeButton(u"PushButton5", u"Copy Results To Clipboard"_s, 4080, 7530, 3840);
    clearResultsButton = makeButton(u"PushButton2", u"Clear Results"_s, 120, 8040, 3840);
    helpButton = makeButton(u"PushButton6", u"Help"_s, 4080, 8040, 3840);
    loadSampleTextButton =
        makeButton(u"PushButton8", u"Load Sample/Example Text"_s, 4080, 2810, 3840);

    progressBar = new ProgressBar(this);
    progressBar->setObjectName(u"ProgressBar1"_s);
    progressBar->setText(kRestingProgressText.toString());
    progressBar->setAttribute(Qt::WA_NoMousePropagation);
    placeInTwips(progressBar, 120, 8560, 7800, 405);

    // Tab order of the design; the frame and the bar take no focus, and the two option
    // buttons share one stop (arrow keys move between them).
    optionsFrame->setFocusPolicy(Qt::NoFocus);
    progressBar->setFocusPolicy(Qt::NoFocus);
    const QList<QWidget*> tabOrder = {
        inputList,         loadTextFromFileButton, clearTextButton, sortLinesOption,
        counterCheck,      startSortingButton,     resultList,      saveResultsButton,
        copyResultsButton, clearResultsButton,     helpButton,      loadSampleTextButton};
    for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
    setTabOrder(sortLinesOption, sortWordsOption);
    setTabOrder(sortWordsOption, counterCheck);
}

void MainWindow::connectHandlers()
{
    auto onClick = [this](CommandButton* button, void (MainWindow::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] {
            runEventHandler(Location::windowEvents, [&] { (this->*handler)(); });
        });
    };
    onClick(startSortingButton, &MainWindow::startSorting);
    onClick(loadTextFromFileButton, &MainWindow::loadTextFromFile);
    onClick(loadSampleTextButton, &MainWindow::loadSampleText);
    onClick(clearTextButton, &MainWindow::clearText);
    onClick(clearResultsButton, &MainWindow::clearResults);
    onClick(saveResultsButton, &MainWindow::saveResults);
    onClick(copyResultsButton, &MainWindow::copyResults);
    onClick(helpButton, &MainWindow::showHelp);

    auto onKeyDown = [this](ListView* list, const ErrorLocation& location) {
        connect(list, &ListView::keyDown, this, [this, list, &location](int keyCode) {
            runEventHandler(location, [&] { deleteSelectedRow(list, keyCode); });
        });
    };
    onKeyDown(inputList, Location::inputListKeyDown);
    onKeyDown(resultList, Location::resultListKeyDown);

    watchMouseMoves();
}

void MainWindow::watchMouseMoves()
{
    m_hoverPointers = {
        {startSortingButton, MousePointer::Custom}, {loadTextFromFileButton, MousePointer::Custom},
        {clearTextButton, MousePointer::Custom},    {saveResultsButton, MousePointer::Custom},
        {clearResultsButton, MousePointer::Custom}, {copyResultsButton, MousePointer::Custom},
        {helpButton, MousePointer::Custom},         {loadSampleTextButton, MousePointer::Custom},
        {optionsFrame, MousePointer::Default},      {inputList, MousePointer::Default},
        {resultList, MousePointer::Default},
    };
    for (const HoverPointer& hover : m_hoverPointers) {
        hover.control->setMouseTracking(true);
        hover.control->installEventFilter(this);
        hover.control->setAttribute(Qt::WA_NoMousePropagation);
    }
    // A move goes to the innermost widget under the mouse, and a list is made of several: the
    // rows' viewport, the column header and its own viewport, the scroll bars. Each reports.
    for (ListView* list : {inputList, resultList}) {
        for (QWidget* part : list->findChildren<QWidget*>()) {
            part->setMouseTracking(true);
            part->installEventFilter(this);
        }
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove)
        showHoverPointer(watched);
    return QWidget::eventFilter(watched, event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    showHoverPointer(this);
    QWidget::mouseMoveEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    shutDown();
    event->accept();
}

void MainWindow::setMousePointer(MousePointer pointer)
{
    m_mousePointer = pointer;
    applyPointerShape();
}

void MainWindow::setMouseIcon(const QCursor& cursor)
{
    m_mouseIcon = cursor;
    applyPointerShape();
}

void MainWindow::applyPointerShape()
{
    switch (m_mousePointer) {
    case MousePointer::Hourglass:
        setCursor(Qt::WaitCursor);
        break;
    case MousePointer::Custom:
        if (m_mouseIcon) {
            setCursor(*m_mouseIcon);
            break;
        }
        [[fallthrough]];
    case MousePointer::Default:
        setCursor(Qt::ArrowCursor);
        break;
    }
}

} // namespace velmora
