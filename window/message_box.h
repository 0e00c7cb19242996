#pragma once

#include <QMessageBox>
#include <QString>
#include <utility>

namespace Window {

// Twips per pixel wherever the program converts between the two: fixed, the
// screen's own ratio is not consulted.
inline constexpr int kTwipsPerPixel = 15;

// Every modal box the program shows goes through one seam, so that tests can
// answer the boxes instead of a user.
struct MessageRequest {
    QString text;   // as the program holds it; a lone "\r" breaks the line
    QString title;  // empty: the application's title
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool yesNo = false;  // Yes/No with No as the default button, else OK alone
};

class MessageSeam {
public:
    virtual ~MessageSeam() = default;
    // Shows the box modally and returns the button pressed.
    virtual QMessageBox::StandardButton show(const MessageRequest& request) = 0;
};

// The real boxes: the title bar shows exactly the request's title (or the
// application title given here), and the buttons read "Ja", "Nein" and "OK"
// whatever the user's locale.
class ModalMessageBoxes : public MessageSeam {
public:
    explicit ModalMessageBoxes(QString applicationTitle)
        : applicationTitle_(std::move(applicationTitle)) {}
    QMessageBox::StandardButton show(const MessageRequest& request) override;

private:
    QString applicationTitle_;
};

// The text as a box shows it: each lone carriage return becomes a line break.
QString DisplayText(const QString& text);

namespace Commands {

// Kind 1 information, 2 warning, 3 stop, 4 question, each with an OK button
// and MsgTitle in the title bar; any other kind shows nothing.
void ShowMessage(MessageSeam& seam, const QString& text, int kind, const QString& MsgTitle);

// Places the window as CenterForm does: the screen's and the window's sizes in
// twips, centred horizontally and in the upper 85 percent.
void CenterForm(QWidget& window, QSize windowTwips);

}  // namespace Commands

}  // namespace Window
