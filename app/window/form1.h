#pragma once

#include "app/controls/list_view.h"
#include "app/controls/mouse_pointer.h"
#include "app/controls/vendor_button.h"
#include "app/controls/vendor_progress_bar.h"

#include <QCheckBox>
#include <QCursor>
#include <QGroupBox>
#include <QRadioButton>
#include <QWidget>

#include <optional>

namespace velmora {

// The main window. Controls carry the names the rest of the program (and the tests) use
// for them; each handler is a public member named after its control and event.
class Form1 : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int MousePointer READ mousePointerValue)
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Controls, in tab order.
    ListView* ListView1;
    VendorButton* PushButton3;  // Load Text From File
    VendorButton* PushButton1;  // Clear Text
    QRadioButton* Option1;      // Sort Each Line Alphabetically
    QRadioButton* Option2;      // Sort Each Word Alphabetically
    QCheckBox* Check5;          // counters
    VendorButton* PushButton17; // Start Sorting
    ListView* ListView2;
    VendorButton* PushButton4; // Save Results As Text File
    VendorButton* PushButton5; // Copy Results To Clipboard
    VendorButton* PushButton2; // Clear Results
    QGroupBox* Frame1;         // Options
    VendorButton* PushButton6; // Help
    VendorButton* PushButton8; // Load Sample/Example Text
    VendorProgressBar* ProgressBar1;

    // Start-up and shut-down.
    void Form_Load();
    void Form_Unload();

    // Commands.
    void PushButton17_Click(); // Start Sorting
    void PushButton3_Click();  // Load Text From File
    void PushButton8_Click();  // Load Sample/Example Text
    void PushButton1_Click();  // Clear Text
    void PushButton2_Click();  // Clear Results
    void PushButton4_Click();  // Save Results As Text File
    void PushButton5_Click();  // Copy Results To Clipboard
    void PushButton6_Click();  // Help
    void ListView1_KeyDown(int keyCode, int shift);
    void ListView2_KeyDown(int keyCode, int shift);

    // Hover feedback.
    void Form_MouseMove();
    void Frame1_MouseMove();
    void ListView1_MouseMove();
    void ListView2_MouseMove();
    void PushButton17_MouseMove();
    void PushButton3_MouseMove();
    void PushButton1_MouseMove();
    void PushButton4_MouseMove();
    void PushButton2_MouseMove();
    void PushButton5_MouseMove();
    void PushButton6_MouseMove();
    void PushButton8_MouseMove();

    // The window's pointer (0 arrow, 11 hourglass, 99 the custom image).
    velmora::MousePointer mousePointer() const { return m_mousePointer; }
    int mousePointerValue() const { return static_cast<int>(m_mousePointer); }
    void setMousePointer(velmora::MousePointer pointer);
    bool isBusy() const { return m_mousePointer == velmora::MousePointer::Hourglass; }

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
    void hoverFeedback(velmora::MousePointer over);

    velmora::MousePointer m_mousePointer = velmora::MousePointer::Default;
    std::optional<QCursor> m_mouseIcon;
};

} // namespace velmora
