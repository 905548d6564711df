#include <gtest/gtest.h>

#include <QApplication>

// Widget tests need the application object; they run on the offscreen
// platform (QT_QPA_PLATFORM=offscreen).
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
