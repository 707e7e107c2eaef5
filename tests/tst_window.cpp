// SPDX-License-Identifier: MIT
// The window: the resize rule, the timer across minimise and restore, the shortcuts
// and what the info dialog is given. (Exit and closing: the end-to-end suite.)
#include "app/modmain.h"
#include "platform/picturebox.h"
#include "testsupport.h"

#include <QMenu>

class TestWindow : public QObject, private GameFixture
{
    Q_OBJECT

    frmMain *form() { return in->form(); }

private slots:
    void init()
    {
        start();
        in->timer()->start();
        QVERIFY(QTest::qWaitForWindowExposed(form()));
    }
    void cleanup() { stop(); }

    // The board keeps 10 px to the sides and the bottom, and at least 84 px of height.
    void resizeRule()
    {
        form()->setMinimumSize(0, 0); // the window's own minimum would hide the rule
        form()->centralWidget()->setMinimumSize(0, 0);
        for (auto [inner, board] : {std::pair(QSize(521, 365), QRect(10, 0, 501, 355)), {{800, 600}, {10, 0, 780, 590}},
                                    {{400, 93}, {10, 0, 380, 84}}, {{400, 95}, {10, 0, 380, 85}}, {{15, 5}, {10, 0, 0, 84}}}) {
            form()->resize(form()->size() - QSize(qRound(form()->ScaleWidth()), qRound(form()->ScaleHeight())) + inner);
            QCoreApplication::processEvents();
            QCOMPARE(QSize(qRound(form()->ScaleWidth()), qRound(form()->ScaleHeight())), inner);
            QCOMPARE(in->view()->geometry(), board);
            PictureBox *b = in->buffer();
            QCOMPARE(QRectF(b->Left(), b->Top(), b->Width(), b->Height()), QRectF(board));
        }
    }

    void minimiseStopsTheTimerAndRestoreResumes()
    {
        for (auto [state, code, ticking] : {std::tuple(Qt::WindowMinimized, 1, false), {Qt::WindowNoState, 0, true},
                                            {Qt::WindowMaximized, 2, true}}) {
            form()->setWindowState(state);
            QTRY_COMPARE(form()->WindowState(), code);
            QCOMPARE(in->timer()->isActive(), ticking);
        }
        QTRY_COMPARE(in->view()->width(), qRound(form()->ScaleWidth()) - 20);
    }

    void shortcuts()
    {
        form()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form()));
        game->MoveRing(5, 2);
        QTest::keyClick(form(), Qt::Key_F4, Qt::ControlModifier);
        QCOMPARE(game->GameOverText(), QStringLiteral("You didn't\r\ndo it in 1..."));
        QTest::keyClick(form(), Qt::Key_F4, Qt::ControlModifier); // disabled now: nothing changes
        QCOMPARE(game->SubState(), 2);
        QTest::keyClick(form(), Qt::Key_F2);
        QVERIFY(game->running() && form()->mnuGameAbort->isEnabled());
        QCOMPARE(game->rings()[5].Peg, 1);
        QVERIFY(game->DisplayCentered().isEmpty());
        // The menu stays as it is: Ctrl+Q, the desktop's quit key (end to end), is not in it.
        QCOMPARE(form()->mnuGame->actions(), (QList{form()->mnuGameNew, form()->mnuGameAbort, form()->mnuGameSep0, form()->mnuGameExit}));
        QTest::keyClick(form(), Qt::Key_F1);
        QCOMPARE(boxes, QStringList{AppTitle() + ": Ostrel and Pegmarch are trademarks of the Ostrel Pegmarch developers.\n"
                                                 "Written by the Ostrel Pegmarch developers.\n"
                                                 "Simply drag the small rings over bigger rings or empty pegs to move them.\n"
                                                 "Moving only one ring at a time, the subject is to move all 5 rings in\n"
                                                 "correct order from peg 1 to 2, 2 to 3, ..., 5 to 6 in as less moves as possible."});
        boxesExpected = true;
    }

};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
