#include "start_routine.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

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
    // Qt's own texts (the boxes' and the scroll bars' context menus) speak
    // German as the rest of the window does, whatever the user's locale;
    // without Qt's translations installed they stay English.
    QCoreApplication* app = QCoreApplication::instance();
    const QString name = QStringLiteral("qtbase_de");
    if (app->findChild<QTranslator*>(name) != nullptr) return;
    auto* german = new QTranslator(app);
    german->setObjectName(name);
    if (german->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(german);
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
