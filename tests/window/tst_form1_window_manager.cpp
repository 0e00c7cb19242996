// The window's place and size as a window manager keeps them: maximized and
// back. On an X display with a window manager; elsewhere the tests skip.
#include <QtTest>

#include "form_fixture.h"

using namespace Window;

class TestForm1WindowManager : public QObject {
    Q_OBJECT
private slots:
    void maximizedWindowComesBackAsItWas();
};

// Maximized and back, the window stands where it stood, as large as it was;
// a strip built meanwhile gives it the build's size there.
void TestForm1WindowManager::maximizedWindowComesBackAsItWas() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("No X display: the place of a window is kept by a window manager.");
    FormFixture f;
    Form1& w = *f.form;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (!QTest::qWaitFor([&w] { return w.frameGeometry().size() != w.size(); }))
        QSKIP("No window manager frames the window on this display.");
    QTRY_COMPARE(w.frameGeometry().size(), QSize(438, 374));
    const QRect normal = w.geometry();
    const QPoint frameAt = w.frameGeometry().topLeft();
    const auto maximizeAndBack = [&w, normal](QPushButton* build) {
        w.windowHandle()->setWindowStates(Qt::WindowMaximized);
        QTRY_VERIFY(w.isMaximized() && w.width() > normal.width());
        if (build != nullptr) QTest::mouseClick(build, Qt::LeftButton);
        w.windowHandle()->setWindowStates(Qt::WindowNoState);
    };
    maximizeAndBack(nullptr);
    QTRY_COMPARE(w.geometry(), normal);
    maximizeAndBack(w.cmdStrip[0]);
    QTRY_COMPARE(w.frameGeometry(), QRect(frameAt, QSize(438, 449)));
    maximizeAndBack(w.cmdStrip[1]);
    QTRY_COMPARE(w.frameGeometry(), QRect(frameAt, QSize(502, 374)));
}

int main(int argc, char** argv) {
    // The X display where there is one, else no display at all.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb;offscreen");
    QApplication app(argc, argv);
    TestForm1WindowManager test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_form1_window_manager.moc"
