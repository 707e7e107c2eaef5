// SPDX-License-Identifier: MIT
// Short messages: shown at once or queued, giving way and expiring by the clock,
// and the text from before them put back.
#include "testsupport.h"

class TestMessageQueue : public QObject, private GameFixture
{
    Q_OBJECT

    // The queue's tick, after the clock has moved on by ms.
    QString after(std::uint32_t ms)
    {
        clock->advance(ms);
        game->SetShortMessage(QString());
        return game->DisplayCentered();
    }

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void messagesTakeTurns()
    {
        game->SetDisplayCentered("Before");
        for (const char *m : {"M1", "M2", "M2"}) // equal texts are queued too
            game->SetShortMessage(m);
        QCOMPARE(game->DisplayCentered(), QStringLiteral("M1"));
        QCOMPARE(game->messageQueue(), (QStringList{"M2", "M2"}));
        QCOMPARE(after(1124), QStringLiteral("M1"));
        QCOMPARE(after(1), QStringLiteral("M2"));
        QCOMPARE(game->ShortMessage(), QStringLiteral("M2"));
        QCOMPARE(after(1125), QStringLiteral("M2"));
        QVERIFY(game->messageQueue().isEmpty());
        QCOMPARE(after(4499), QStringLiteral("M2")); // the last one stays its full time
        QCOMPARE(after(1), QStringLiteral("Before"));
        QVERIFY(game->ShortMessage().isEmpty());
        QCOMPARE(after(10000), QStringLiteral("Before"));

        game->SetShortMessage("First");
        QCOMPARE(after(3000), QStringLiteral("First"));
        game->SetShortMessage("Second"); // the first has had its quarter already
        QCOMPARE(after(0), QStringLiteral("Second"));
    }

    void replacedTextComesBackAfterTheMessage()
    {
        game->SetShortMessage("Refused");
        game->SetDisplayCentered("Other");
        QCOMPARE(after(10), QStringLiteral("Refused")); // shown again at the next tick
        QCOMPARE(after(4490), QStringLiteral("Other"));
    }

    void newGameWhileAMessageShows()
    {
        game->SetShortMessage("Refused");
        game->NewGame();
        game->Refresh(); // the frame's tick shows the message again before drawing
        QCOMPARE(game->DisplayCentered(), QStringLiteral("Refused"));
        QVERIFY(in->overlayFont());
        QVERIFY(after(4500).isEmpty());
    }

    void endOfGameDropsWaitingMessages()
    {
        game->SetDisplayCentered("Before");
        game->SetShortMessage("M1");
        game->SetShortMessage("M2");
        game->EndGame(false);
        const QString ranking = game->GameOverText();
        QCOMPARE(game->DisplayCentered(), ranking);
        QVERIFY(game->messageQueue().isEmpty() && game->ShortMessage().isEmpty());
        QCOMPARE(after(2000), ranking);
        QCOMPARE(after(5000), ranking); // neither M2 nor "Before" comes back

        game->MoveRing(5, 2); // not running: the hint, then the ranking again
        QCOMPARE(after(4499), QStringLiteral("Game is not running.\r\nHit 'New Game'!"));
        QCOMPARE(after(1), ranking);
    }

    void messageThatCleansToNothingKeepsTheSavedText()
    {
        game->SetDisplayCentered("Before");
        game->SetShortMessage("\t\x01");
        game->SetShortMessage("Next");
        QCOMPARE(after(1125), QStringLiteral("Next"));
        QCOMPARE(after(4500), QStringLiteral("Before"));
    }

    void tickCounterWraps_data()
    {
        QTest::addColumn<uint>("start");
        QTest::newRow("at zero") << 0u;
        QTest::newRow("across the wrap") << 0xFFFFF000u;
        QTest::newRow("across the signed half") << 0x7FFFF000u;
    }
    void tickCounterWraps()
    {
        QFETCH(uint, start);
        clock->now = start;
        game->SetShortMessage("Across");
        game->SetShortMessage("Queued");
        QCOMPARE(after(1124), QStringLiteral("Across"));
        QCOMPARE(after(1), QStringLiteral("Queued"));
        QCOMPARE(after(4499), QStringLiteral("Queued"));
        QVERIFY(after(1).isEmpty());
    }
};

QTEST_MAIN(TestMessageQueue)
#include "tst_messagequeue.moc"
