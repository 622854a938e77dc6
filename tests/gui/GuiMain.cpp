#include "app/Application.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

// One QApplication for every GUI test. Test discovery runs this binary without ctest's
// environment, and without a platform QApplication aborts, so the platform is set here.
int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM",
             std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "offscreen", 1);
    ::setenv("QT_SCALE_FACTOR", "1", 1);
    // What the program keeps between runs goes to a folder of this run's own, never the user's.
    char config[] = "/tmp/sbk3-gui-config-XXXXXX";
    if (::mkdtemp(config))
        ::setenv("XDG_CONFIG_HOME", config, 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    sbk3::configureApplication();
    const int status = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(config, ignored);
    return status;
}
