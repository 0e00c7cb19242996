#include "start_routine.h"

#include <QApplication>
#include <QFont>

#include "form1.h"
#include "form1_texts.h"
#include "message_box.h"
#include "single_instance.h"

using namespace Controls;
using namespace Drawing;
using namespace Engine;
using namespace Messages;

namespace Window {

void SetUpApplication() {
    QApplication::setFont(Form1::Font(Form1::kArial9Pixels));
}

int RunStartRoutine(int argc, char** argv) {
    // Only the program's name is passed on: arguments have no effect.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    SetUpApplication();
    SingleInstance instance(QStringLiteral("quenwick-torvelink"));
    if (instance.anotherIsRunning()) return 0;
    const QString MsgTitle = Form1Texts::kMsgTitle;
    ModalMessageBoxes boxes(Form1Texts::kCaption);
    Form1 form(boxes, MsgTitle);
    instance.releaseWhenClosed(form);
    form.Form_Load();
    form.show();
    return QApplication::exec();
}

}  // namespace Window
