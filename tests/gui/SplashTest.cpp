#include "app/Splash.h"

#include "app/Accessibility.h"

#include <QAccessible>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace sbk3 {
namespace {

int grey(const QImage& image, int x, int y) {
    const QRgb pixel = image.pixel(x, y);
    EXPECT_EQ(qRed(pixel), qGreen(pixel));
    EXPECT_EQ(qGreen(pixel), qBlue(pixel));
    return qRed(pixel);
}

int level(int i) {
    return i == 0 ? 0 : 16 * i - 1;
}

TEST(SplashTest, NestedOutlinesStepFromBlackToWhite) {
    frmSplash splash({});
    const QImage& image = splash.image();
    ASSERT_EQ(image.size(), QSize(320, 240));
    EXPECT_EQ(splash.size(), QSize(320, 240));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);

    // Top and left sides lie on the first row and column; right and bottom at W and H, one
    // beyond the image, so the darkest visible line there is level 15.
    for (int i = 0; i <= 15; ++i) {
        EXPECT_EQ(grey(image, i, 120), level(i)) << "left " << i;
        EXPECT_EQ(grey(image, 200, i), level(i)) << "top " << i;
        EXPECT_EQ(grey(image, 320 - i - 1, 120), level(i + 1)) << "right " << i;
        EXPECT_EQ(grey(image, 160, 240 - i - 1), level(i + 1)) << "bottom " << i;
    }
    EXPECT_EQ(grey(image, 0, 0), 0);
    EXPECT_EQ(grey(image, 319, 0), 0);
    EXPECT_EQ(grey(image, 0, 239), 0);
    EXPECT_EQ(grey(image, 319, 239), 15);
    EXPECT_EQ(grey(image, 5, 5), 79);
    EXPECT_EQ(grey(image, 300, 220), 255);
}

TEST(SplashTest, OnADenseScreenEachPixelOfTheFrameIsTwoByTwo) {
    const QImage image = frmSplash::paint(2.0);
    ASSERT_EQ(image.size(), QSize(640, 480));
    EXPECT_EQ(image.deviceIndependentSize(), QSizeF(320, 240));
    for (int d = 0; d < 32; ++d) {
        EXPECT_EQ(grey(image, d, 240), level(d / 2)) << "left " << d;
        EXPECT_EQ(grey(image, 400, d), level(d / 2)) << "top " << d;
        EXPECT_EQ(grey(image, 640 - d - 1, 240), level(d / 2 + 1)) << "right " << d;
        EXPECT_EQ(grey(image, 320, 480 - d - 1), level(d / 2 + 1)) << "bottom " << d;
    }
    // The name is drawn at twice the pixels, not scaled up: its edges are sharp.
    int greys = 0;
    for (int x = 32; x < 600; ++x)
        greys += qGray(image.pixel(x, 80)) > 32 && qGray(image.pixel(x, 80)) < 224;
    EXPECT_LT(greys, 40);
}

TEST(SplashTest, NameStartsSixteenPixelsInOneWordPerLine) {
    frmSplash splash({});
    const QImage& image = splash.image();
    int left = 320;
    int top = 240;
    int bottom = 0;
    std::vector<int> inkRows;
    for (int y = 16; y < 224; ++y) {
        bool ink = false;
        for (int x = 16; x < 304; ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                left = std::min(left, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                ink = true;
            }
        }
        if (ink)
            inkRows.push_back(y);
    }
    EXPECT_GE(left, 16);
    EXPECT_LE(left, 24); // "S" and "3" sit just inside the margin
    EXPECT_GE(top, 16);
    EXPECT_LE(top, 40);
    // Two lines of 44-point text: a gap of blank rows between them.
    int gaps = 0;
    for (std::size_t i = 1; i < inkRows.size(); ++i)
        gaps += inkRows[i] - inkRows[i - 1] > 1;
    EXPECT_EQ(gaps, 1);
    EXPECT_GT(bottom - top, 100);
}

TEST(SplashTest, ShownWindowPaintsItsImage) {
    frmSplash splash({});
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    const QImage shown = splash.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, splash.image());
    splash.close();
}

TEST(SplashTest, AnyMouseButtonOpensTheMainWindowKeysDoNot) {
    const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::ShiftModifier,
                                               Qt::ControlModifier, Qt::AltModifier};
    for (const auto button : buttons) {
        for (const auto modifier : modifiers) {
            int opened = 0;
            QPointer<frmSplash> splash = new frmSplash([&] { ++opened; });
            splash->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(splash));
            for (const auto key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space, Qt::Key_A})
                QTest::keyClick(splash, key);
            EXPECT_EQ(opened, 0);
            EXPECT_TRUE(splash->isVisible());

            QTest::mousePress(splash, button, modifier, QPoint(100, 100));
            EXPECT_EQ(opened, 1);
            EXPECT_FALSE(splash->isVisible());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_TRUE(splash.isNull()); // unloaded, not merely hidden
        }
    }
}

// With assistive technology on, the splash is named for a screen reader, takes the keyboard,
// and Return or Space goes on as a click does; other keys still do nothing.
TEST(SplashTest, WithAScreenReaderReturnOrSpaceOpensTheMainWindow) {
    installAccessibility();
    QAccessible::setActive(true); // as Qt's bridge says when a screen reader comes on
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        int opened = 0;
        QPointer<frmSplash> splash = new frmSplash([&] { ++opened; });
        splash->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(splash));
        QAccessibleInterface* named = QAccessible::queryAccessibleInterface(splash);
        ASSERT_NE(named, nullptr);
        EXPECT_EQ(named->text(QAccessible::Name) + QStringLiteral(". ") +
                      named->text(QAccessible::Description),
                  QStringLiteral("Sumbrook 3. Press Return to start."));
        EXPECT_TRUE(QTest::qWaitFor([&] { return splash->hasFocus(); }, 2000));
        QTest::keyClick(splash, Qt::Key_Escape);
        QTest::keyClick(splash, Qt::Key_A);
        EXPECT_EQ(opened, 0);
        QTest::keyClick(splash, key);
        EXPECT_EQ(opened, 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(splash.isNull());
    }
    QAccessible::setActive(false);
}

} // namespace
} // namespace sbk3
