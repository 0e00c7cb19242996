// GoogleTest main for tests that need Qt's image plugins: a GUI application
// object on the offscreen platform.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <cstdlib>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef TORVELINK_TEST_LANG
    // The language the command line speaks in these tests, and in the
    // programs they start, whatever the machine's locale.
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    ::setenv("LANG", TORVELINK_TEST_LANG, 1);
#endif
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
