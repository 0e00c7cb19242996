#include "message_box.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include "commands.h"

using namespace Platform;

namespace Window {

QString DisplayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace('\r', '\n');
    return shown;
}

// The window system shows the title as it is set: the program gives Qt no
// application display name, which Qt would append to every title.
QMessageBox::StandardButton ModalMessageBoxes::show(const MessageRequest& request) {
    QMessageBox box;
    box.setIcon(request.icon);
    box.setWindowTitle(request.title.isEmpty() ? applicationTitle_ : request.title);
    box.setText(DisplayText(request.text));
    if (request.yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Ja"));
        box.button(QMessageBox::No)->setText(QStringLiteral("Nein"));
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

namespace Commands {

void ShowMessage(MessageSeam& seam, const QString& text, int kind, const QString& MsgTitle) {
    static const QMessageBox::Icon icons[] = {QMessageBox::Information, QMessageBox::Warning,
                                              QMessageBox::Critical, QMessageBox::Question};
    if (kind < 1 || kind > 4) return;
    seam.show({text, MsgTitle, icons[kind - 1], false});
}

void CenterForm(QWidget& window, QSize windowTwips) {
    const QScreen* screen =
        window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    const QSize screenPixels = screen != nullptr ? screen->size() : QSize(1024, 768);
    const auto place = CenterFormPlace(static_cast<float>(screenPixels.width() * kTwipsPerPixel),
                                       static_cast<float>(screenPixels.height() * kTwipsPerPixel),
                                       static_cast<float>(windowTwips.width()),
                                       static_cast<float>(windowTwips.height()));
    window.move(static_cast<int>(place.Left) / kTwipsPerPixel,
                static_cast<int>(place.Top) / kTwipsPerPixel);
}

}  // namespace Commands

}  // namespace Window
