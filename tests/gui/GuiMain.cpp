#include "app/Application.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// One QApplication for every GUI test. Test discovery runs this binary without ctest's
// environment, and without a platform QApplication aborts, so the platform is set here.
int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM",
             std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "offscreen", 1);
    ::setenv("QT_SCALE_FACTOR", "1", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    sbk3::configureApplication();
    return RUN_ALL_TESTS();
}
