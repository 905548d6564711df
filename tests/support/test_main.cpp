#include <gtest/gtest.h>

#include <QCoreApplication>

// Qt's image readers find their plug-ins through the application object.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
