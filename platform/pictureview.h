// SPDX-License-Identifier: MIT
// The visible picture: shows the last frame copied onto it, reports mouse
// presses, moves and releases with button, modifiers and position, key presses
// with their code and the loss of the rest of a press, and tells assistive tools
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

    // Replaces what is shown by the whole picture, its top-left corner at (0, 0).
    // changed: the device pixels that differ from the picture before, when only
    // they need copying to the screen (a null rectangle copies the whole picture).
    void PaintPicture(const QImage &picture, const QRect &changed = QRect());
    // The last picture copied onto the view.
    const QImage &picture() const { return m_picture; }
    // Lets go of the picture while the next one is drawn in its place (the view
    // shares the picture rather than copying it, and paints nothing meanwhile).
    void releasePicture() { m_picture = QImage(); }

    // Button codes in the events: 1 left, 2 right, 4 middle.
    static std::int16_t buttonCode(Qt::MouseButton button);
    static std::int16_t shiftCode(Qt::KeyboardModifiers modifiers);
    // The code of a key the board has a use for (KeyCodes), or 0.
    static std::int16_t keyCode(int key, Qt::KeyboardModifiers modifiers);

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
    void KeyDown(std::int16_t keyCode, std::int16_t shift);
    void Resize();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QImage m_picture;
    // Size and density of the picture last shown (kept while it is let go of).
    QSize m_shownSize;
    double m_shownRatio = 0;
    QString m_description;
    Announcer *m_news = nullptr;
};
