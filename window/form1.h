#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <optional>

#include "app_state.h"
#include "build_rules.h"
#include "file_browser.h"
#include "message.h"
#include "message_box.h"
#include "picture_box.h"
#include "readout_label.h"
#include "scroll_bar.h"

namespace Window {

// The program's one window. Its controls are public so that the handlers of
// the test view, the viewport and the tests reach them by name.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // The window's outer size at start and after every load, twips; the
    // horizontal layout keeps the width, the vertical one the height.
    static constexpr int kStartWidthTwips = 6570;
    static constexpr int kStartHeightTwips = 5610;

    // The window's font: Liberation Sans stands in for Arial; sizes in
    // pixels at 96 dots per inch. Arial 9 points is also the program's
    // default font.
    static QFont Font(int pixels, bool bold = false);
    static constexpr int kArial9Pixels = 12;

    Form1(MessageSeam& messages, QString MsgTitle);

    // Runs once before the window is shown: the start state.
    void Form_Load();

    // The window's own outer size, twips (kTwipsPerPixel per pixel), frame
    // included. The width set is widened while a magnified test view needs a
    // room of its own; the window never gets smaller than its controls need.
    // A maximized window stays so, and takes the size set when it returns.
    int WidthTwips() const;
    int HeightTwips() const;
    void setWidthTwips(int twips);
    void setHeightTwips(int twips);

    // The shared state the handlers work on; read by the window's tests.
    AppState& state() { return state_; }

    // Event handlers.
    void txtIN_Change(int index);
    void cmdStrip_Click(int index);
    void Command1_Click();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void HS_Strip_Change();
    void VS_Strip_Change();
    void HSTest_Change();
    void HSMag_Change();
    void picTest_MouseMove(Qt::MouseButtons button, int X, int Y);
    void picStart_MouseMove(int X, int Y);
    void picStrip_MouseMove(int X, int Y);
    void Form_MouseMove();

    // Controls, in creation order.
    Controls::PictureBox* picFrame;
    Controls::PictureBox* picStrip;
    std::array<QLineEdit*, 3> txtIN;
    std::array<QPushButton*, 2> cmdStrip;
    QPushButton* Command1;
    Controls::FileList* File1;
    Controls::DirList* Dir1;
    Controls::DriveList* Drive1;
    Controls::PictureBox* picTest;
    Controls::ScrollBar* HSTest;
    QGroupBox* fraMag;
    Controls::ScrollBar* HSMag;
    QLabel* LabMag;
    Controls::ScrollBar* VS_Strip;
    Controls::ScrollBar* HS_Strip;
    Controls::PictureBox* picStart;
    std::array<QLabel*, 4> Label1;
    std::array<Controls::ReadoutLabel*, 3> LabXY;  // 1 and 2 are used
    Controls::ReadoutLabel* LabValue;
    Controls::ReadoutLabel* LabWHStart;
    // While the magnified frame is in a room of its own, the test view's
    // designed box shows the same frame at the largest factor that fits it,
    // so that the frame selector and the frame number stand by a view.
    Controls::PictureBox* testThumb;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void createControls();
    void createParameterBlock();
    void createTestView();
    void createReadouts();
    void createBrowser();
    void connectHandlers();
    void setTabOrder();

    // Shows and enables the controls as the state says: the viewport, its
    // bars and the magnification while a strip is built, the frame selector
    // unless a magnification waits for the next build, the test view's place.
    void updateControls();
    void placeTestView();
    bool testViewNeedsRoom() const;
    void fitWindow();
    void applyMinimumSize();
    void showTestThumb();
    int testViewRoomRight() const;
    QRect roomOutline() const;
    void setStartSize();
    void showStripFromStart();

    void ShowMessage(const QString& text, int kind);
    // The message in German, as a warning.
    void ShowMessage(const Messages::Message& message);
    void PrepareTestView();
    void RenderStripH();
    void RenderStripV();
    void drawTestFrame(int n);
    void drawFrameInto(Controls::PictureBox& view, int n);
    bool sizeStripBox(const Engine::StripExtent& size);
    void layoutForOrientation(int index);
    void lowerFrameCount(int32_t frames);
    void rejectPicture(int width, int height);
    void acceptPicture();
    void captureSource();
    void grabOrEnd(Drawing::APIMod::GrabResult result);

    AppState state_;
    int widthTwips_ = 0;  // as the layout last set them
    int heightTwips_ = 0;
    // The window system's frame round the normal window, pixels, as it was
    // first seen; a maximized window has another, which the window system
    // reports late on the way back.
    std::optional<QSize> frame_;
    bool fitPending_ = false;  // a size set while maximized, for when it returns
    QPoint deferredPlace_;     // where the maximized window stood then, pixels
    QPoint normalPlace_;       // where the normal window last stood, pixels
    MessageSeam& messages_;
    QString msgTitle_;
};

}  // namespace Window
