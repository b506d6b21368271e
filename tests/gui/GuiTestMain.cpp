#include <gtest/gtest.h>

#include <QApplication>

// One QApplication for all GUI tests, on the offscreen platform unless told otherwise (listing
// the tests at build time must not need a display either).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
