#pragma once

#include "gui/controls/command_button.h"
#include "gui/controls/list_view.h"
#include "gui/controls/progress_bar.h"
#include "gui/window/mouse_pointer.h"

#include <QCheckBox>
#include <QCursor>
#include <QGroupBox>
#include <QRadioButton>
#include <QWidget>

#include <optional>
#include <vector>

namespace velmora {

// The main window: its controls and one public handler per command. Each control's object name is
// the one skins select and the error box names (ARCHITECTURE.md maps them to these members).
class MainWindow : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int MousePointer READ mousePointerValue)
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    ListView* inputList;
    CommandButton* loadTextFromFileButton;
    CommandButton* clearTextButton;
    QRadioButton* sortLinesOption;
    QRadioButton* sortWordsOption;
    QCheckBox* counterCheck;
    CommandButton* startSortingButton;
    ListView* resultList;
    CommandButton* saveResultsButton;
    CommandButton* copyResultsButton;
    CommandButton* clearResultsButton;
    QGroupBox* optionsFrame;
    CommandButton* helpButton;
    CommandButton* loadSampleTextButton;
    ProgressBar* progressBar;

    void startUp();
    void shutDown(); // the window is closing: the program ends at once

    void startSorting();
    void loadTextFromFile();
    void loadSampleText();
    void clearText();
    void clearResults();
    void saveResults();
    void copyResults();
    void showHelp();
    // A key went down in one of the two lists; Delete removes the list's selected row.
    void deleteSelectedRow(ListView* list, int keyCode);

    // The mouse moved over the window or one of its parts: the pointer becomes the one the
    // control under it shows (the hand over command buttons), unless a command is running.
    void showHoverPointer(const QObject* part);

    // The window's pointer (0 arrow, 11 hourglass, 99 the custom image).
    MousePointer mousePointer() const { return m_mousePointer; }
    int mousePointerValue() const { return static_cast<int>(m_mousePointer); }
    void setMousePointer(MousePointer pointer);
    bool isBusy() const { return m_mousePointer == MousePointer::Hourglass; }

    // The custom pointer image (MouseIcon); none until start-up loads the hand file.
    void setMouseIcon(const QCursor& cursor);
    bool hasMouseIcon() const { return m_mouseIcon.has_value(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void connectHandlers();
    void applyPointerShape();
    void watchMouseMoves();

    // What the pointer becomes over each control that has hover feedback of its own; over
    // anything else (the window's background) it is the arrow.
    struct HoverPointer
    {
        QWidget* control;
        MousePointer pointer;
    };
    std::vector<HoverPointer> m_hoverPointers;
    MousePointer m_mousePointer = MousePointer::Default;
    std::optional<QCursor> m_mouseIcon;
};

} // namespace velmora
