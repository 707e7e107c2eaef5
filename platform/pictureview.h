// SPDX-License-Identifier: MIT
// The visible picture: shows the last frame copied onto it, reports mouse
// presses, moves and releases with button, modifiers and position, key presses
// and the loss of the rest of a press, and tells assistive tools
// what the board shows in words.
#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>

class Announcer;

class PictureView : public QWidget
{
    Q_OBJECT
public:
    explicit PictureView(QWidget *parent = nullptr);

    // Places the picture; reports Resize when its rectangle changed.
    void Move(double left, double top, double width, double height);
    float ScaleWidth() const { return static_cast<float>(width()); }
    float ScaleHeight() const { return static_cast<float>(height()); }

    // Shows picture at (0, 0), copying to the screen the device pixels in changed. It is
    // shown where it lies, not copied: it must live as long as the view shows it.
    void PaintPicture(const QImage &picture, const QRect &changed);
    // The picture shown.
    const QImage &picture() const { return *m_picture; }

    // The board in words, for assistive tools; a new text is announced to them.
    void SetDescription(const QString &description);
    const QString &Description() const { return m_description; }
    // Tells assistive tools what just happened, in one short sentence.
    void Announce(const QString &sentence);

signals:
    void MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    void MouseUp(std::int16_t button, std::int16_t shift, float x, float y);
    // The rest of a press will not come here: a menu or a dialog took the mouse.
    void MouseLost();
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void Resize();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    inline static const QImage s_none;
    const QImage *m_picture = &s_none;
    QString m_description;
    Announcer *m_news = nullptr;
};
