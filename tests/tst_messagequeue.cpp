// SPDX-License-Identifier: MIT
// Short messages: shown at once or queued, giving way and expiring by the clock,
// and the text from before them put back.
#include "testsupport.h"

#include <QtTest>

#include <memory>

class TestMessageQueue : public QObject, private GameFixture
{
    Q_OBJECT

    void tick() { game->SetShortMessage(QString()); }
    void after(std::uint32_t ms)
    {
        clock->advance(ms);
        tick();
    }
    QString shown() const { return game->DisplayCentered(); }

private slots:
    void init()
    {
        start(); // the test gives every tick itself
    }
    void cleanup()
    {
        stop();
    }

    void threeMessagesAtOnce()
    {
        game->SetDisplayCentered("Before");
        game->SetShortMessage("M1");
        game->SetShortMessage("M2");
        game->SetShortMessage("M3");
        QCOMPARE(shown(), QStringLiteral("M1"));
        QCOMPARE(game->messageQueue(), (QStringList{"M2", "M3"}));
        after(1124);
        QCOMPARE(shown(), QStringLiteral("M1"));
        after(1);
        QCOMPARE(shown(), QStringLiteral("M2"));
        QCOMPARE(game->ShortMessage(), QStringLiteral("M2"));
        after(1125);
        QCOMPARE(shown(), QStringLiteral("M3"));
        QVERIFY(game->messageQueue().isEmpty());
        // The last one stays its full time.
        after(4499);
        QCOMPARE(shown(), QStringLiteral("M3"));
        after(1);
        QCOMPARE(shown(), QStringLiteral("Before"));
        QVERIFY(game->ShortMessage().isEmpty());
        QVERIFY(in->savedCentered().isEmpty());
        after(10000);
        QCOMPARE(shown(), QStringLiteral("Before"));
    }

    void equalRefusalsAreAllShown()
    {
        game->MoveRing(5, 4);
        const QString refusal = game->ShortMessage();
        for (int i = 0; i < 5; ++i)
            game->MoveRing(5, 4);
        QCOMPARE(game->messageQueue().size(), 5);
        for (int i = 5; i > 0; --i) {
            after(1125);
            QCOMPARE(shown(), refusal);
            QCOMPARE(game->messageQueue().size(), i - 1);
        }
        after(4499);
        QCOMPARE(shown(), refusal);
        after(1);
        QVERIFY(shown().isEmpty());
    }

    void secondMessageAfterThreeSeconds()
    {
        game->SetShortMessage("First");
        after(3000);
        QCOMPARE(shown(), QStringLiteral("First"));
        game->SetShortMessage("Second");
        QCOMPARE(shown(), QStringLiteral("First"));
        after(1);
        QCOMPARE(shown(), QStringLiteral("Second"));
    }

    void newGameWhileAMessageShows()
    {
        game->SetShortMessage("Refused");
        game->NewGame(); // empties the centred text
        QVERIFY(shown().isEmpty());
        after(10);
        QCOMPARE(shown(), QStringLiteral("Refused")); // shown again at the next tick
        after(4490);
        QVERIFY(shown().isEmpty());
    }

    void frameTickShowsTheMessageBeforeDrawing()
    {
        game->SetShortMessage("Refused");
        game->NewGame();
        game->Refresh();
        QCOMPARE(shown(), QStringLiteral("Refused"));
        QVERIFY(in->overlayFont()); // drawn in the same frame
    }

    void endOfGameDropsWaitingMessages()
    {
        game->SetDisplayCentered("Before");
        game->SetShortMessage("M1");
        game->SetShortMessage("M2");
        game->EndGame(false);
        const QString ranking = game->GameOverText();
        QCOMPARE(shown(), ranking);
        QVERIFY(game->messageQueue().isEmpty());
        QVERIFY(game->ShortMessage().isEmpty());
        after(2000);
        after(5000);
        QCOMPARE(shown(), ranking); // neither M2 nor "Before" comes back
    }

    void pressAfterTheEndBringsTheRankingBack()
    {
        game->EndGame(false);
        const QString ranking = shown();
        game->MoveRing(5, 2);
        QCOMPARE(shown(), QStringLiteral("Game is not running.\r\nHit 'New Game'!"));
        after(4499);
        QCOMPARE(shown(), QStringLiteral("Game is not running.\r\nHit 'New Game'!"));
        after(1);
        QCOMPARE(shown(), ranking);
    }

    void messageThatCleansToNothingKeepsTheSavedText()
    {
        game->SetDisplayCentered("Before");
        game->SetShortMessage("\t\x01");
        game->SetShortMessage("Next");
        after(1125);
        QCOMPARE(shown(), QStringLiteral("Next"));
        after(4500);
        QCOMPARE(shown(), QStringLiteral("Before"));
    }

    void tickCounterWraps()
    {
        clock->now = 0xFFFFF000u; // 4096 ms before the wrap
        game->SetShortMessage("Across");
        clock->now = 0x00000100u; // 4352 ms later
        tick();
        QCOMPARE(shown(), QStringLiteral("Across"));
        clock->now = 0x00000194u; // 4500 ms later
        tick();
        QVERIFY(shown().isEmpty());

        // Past the signed half-way point too.
        clock->now = 0x7FFFFF00u;
        game->SetShortMessage("Half");
        clock->now = 0x80000100u;
        tick();
        QCOMPARE(shown(), QStringLiteral("Half"));
        clock->advance(4500);
        tick();
        QVERIFY(shown().isEmpty());
    }

    void messageAtTickZeroStillCounts()
    {
        clock->now = 0;
        game->SetDisplayCentered("Before");
        game->SetShortMessage("Zero");
        game->SetShortMessage("Queued");
        QVERIFY(in->messageUp());
        after(1125);
        QCOMPARE(shown(), QStringLiteral("Queued"));
        after(4500);
        QCOMPARE(shown(), QStringLiteral("Before"));
    }
};

QTEST_MAIN(TestMessageQueue)
#include "tst_messagequeue.moc"
