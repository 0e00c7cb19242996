#pragma once

#include <QMessageBox>
#include <QString>

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

// The real boxes.
class ModalMessageBoxes : public MessageSeam {
public:
    explicit ModalMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    QMessageBox::StandardButton show(const MessageRequest& request) override;

private:
    QWidget* parent_;
};

// The text as a box shows it: each lone carriage return becomes a line break.
QString DisplayText(const QString& text);

namespace Commands {

// Kind 1 information, 2 warning, 3 stop, 4 question, each with an OK button
// and MsgTitle in the title bar; any other kind shows nothing.
void ShowMessage(MessageSeam& seam, const QString& text, int kind, const QString& MsgTitle);

// Places the window as CenterForm does: the screen's and the window's sizes in
// twips (15 per pixel), centred horizontally and in the upper 85 percent.
void CenterForm(QWidget& window, QSize windowTwips);

}  // namespace Commands
