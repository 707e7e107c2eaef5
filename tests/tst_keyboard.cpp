// SPDX-License-Identifier: MIT
// Input on the board: a drag cut short when the board loses the mouse.
#include "platform/pictureview.h"
#include "ui/frmmain.h"
#include "testsupport.h"

#include <QMenu>
#include <QtTest>

class TestKeyboard : public QObject, private GameFixture
{
    Q_OBJECT
    PictureView *view() { return in->view(); }

private slots:
    void init()
    {
        start();
        view()->Move(10, 0, 480, 360); // peg 1 at (160, 180), peg 2 at (80, 300)
    }
    void cleanup() { stop(); }

    void dragEndsWhenTheBoardLosesTheMouse()
    {
        QTRY_VERIFY(view()->hasFocus()); // from the start, no click
        QWidget other;
        for (bool popup : {true, false}) { // a menu pops up, another window takes the focus
            QTest::mousePress(view(), Qt::LeftButton, {}, {160, 180});
            QTest::mouseMove(view(), {300, 100});
            popup ? in->form()->mnuGame->popup({300, 100}) : other.show();
            other.activateWindow();
            QTRY_COMPARE(in->dragRing(), 0); // back on its peg, not left floating
            in->form()->mnuGame->close();
            other.close();
            in->form()->activateWindow();
            QTRY_VERIFY(view()->hasFocus()); // the board has the keys back
        }
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
