#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace sbk3 {

// The start-up window: a grey frame and the program's name until a mouse button is pressed, or,
// while a screen reader or other assistive technology is on, Return or Space.
class frmSplash : public QWidget {
    Q_OBJECT

public:
    // onDismiss opens the main window once the splash has gone.
    explicit frmSplash(std::function<void()> onDismiss, QWidget* parent = nullptr);

    const QImage& image() const { return m_image; }

    // Runs once, right after the first paint has reached the screen.
    void setAfterFirstPaint(std::function<void()> action) { m_afterFirstPaint = std::move(action); }

    // The frame and the name at a screen's device pixel ratio: the same drawing in logical
    // pixels, each one ratio x ratio device pixels, so a dense screen shows it sharp.
    static QImage paint(qreal ratio);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void takeKeyboard();
    void Form_Load();
    void Form_MouseDown();

    QImage m_image; // what is drawn stays here, so uncovering repaints it
    std::function<void()> m_onDismiss;
    std::function<void()> m_afterFirstPaint;
};

} // namespace sbk3
