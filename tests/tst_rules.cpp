// SPDX-License-Identifier: MIT
// The rules: moves and their refusals in every triangle, the stages of a whole
// game, the end of a game with its ranking; the short messages, shown at once or
// queued, giving way and expiring by the clock, the text from before them put back.
#include "app/modmain.h"
#include "testsupport.h"

class TestRules : public QObject, private GameFixture
{
    Q_OBJECT

    // Everything a refusal must leave as it was.
    QList<int> snapshot()
    {
        QList<int> s;
        for (int r = 1; r <= 5; ++r)
            s << in->ring(r).Peg;
        return s << in->stage() << in->moveCount() << game->State() << game->SubState() << in->running();
    }
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

    void moves_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<QList<int>>("pegs"); // of rings 1 to 5
        QTest::addColumn<int>("ring");
        QTest::addColumn<int>("peg");
        QTest::addColumn<QString>("said"); // "" for an accepted move
        const QList<int> tower1(5, 1);
        QTest::newRow("onto a bigger ring") << 2 << QList{1, 1, 1, 2, 1} << 5 << 2 << "";
        QTest::newRow("bigger on smaller") << 2 << QList{1, 1, 1, 1, 2} << 4 << 2
                                           << "No way moving bigger ring 4\r\non top of smaller ring 5\r\nin peg 2!";
        QTest::newRow("back on its own peg") << 2 << tower1 << 5 << 1 << "-";
        // The tower where each stage finds it; ring 5 from there to every other peg.
        const QList<int> open[] = {{}, {}, {1, 2, 3}, {1, 2, 3}, {3, 4, 5}, {3, 4, 5}, {5, 6, 1}};
        for (int stage = 2; stage <= 6; ++stage)
            for (int peg = 1; peg <= 6; ++peg)
                if (peg != stage - 1)
                    QTest::addRow("stage %d, peg %d", stage, peg)
                        << stage << QList<int>(5, stage - 1) << 5 << peg
                        << (open[stage].contains(peg) ? "" : QStringLiteral("Peg %1 is outside of\r\nthe current triangle!").arg(peg));
        QTest::newRow("not running") << 0 << tower1 << 0 << 99 << "Game is not running.\r\nHit 'New Game'!";
        const QString box = "box: Ostrel 'Pegmarch' 1.3.3: Ring %1 or peg %2 does'nt exist";
        for (auto [ring, peg] : {std::pair(0, 3), {2, 7}, {6, 1}, {1, 0}, {-1, -1}})
            QTest::addRow("ring %d, peg %d", ring, peg) << 2 << tower1 << ring << peg << box.arg(ring).arg(peg);
    }
    void moves()
    {
        QFETCH(int, stage);
        QFETCH(QList<int>, pegs);
        QFETCH(int, ring);
        QFETCH(int, peg);
        QFETCH(QString, said);
        if (stage == 0)
            game->EndGame(false);
        else
            in->stage() = stage;
        in->setPegs(pegs);
        const QList<int> before = snapshot();
        game->MoveRing(ring, peg);
        QList<int> moved = before; // accepted: the ring on its peg and one move counted, nothing else
        if (said.isEmpty())
            moved[ring - 1] = peg, moved[6] = 1;
        QCOMPARE(snapshot(), moved);
        boxesExpected = said.startsWith("box: ");
        QCOMPARE(boxes, boxesExpected ? QStringList{said.mid(5)} : QStringList());
        QCOMPARE(game->ShortMessage(), said.size() > 1 && !boxesExpected ? said : QString());
    }

    void stagesOfAWholeGameAndTheRanking()
    {
        // A whole tower on peg 3 during the first transfer does not count.
        std::vector<std::pair<int, int>> toPeg3;
        towerMoves(5, 1, 3, 2, toPeg3);
        for (auto [ring, peg] : toPeg3)
            game->MoveRing(ring, peg);
        QCOMPARE(in->moveCount(), 31);
        QCOMPARE(in->stage(), 2);

        game->NewGame();
        std::vector<std::pair<int, int>> moves; // 1->2 over 3, 2->3 over 1, 3->4 over 5, 4->5 over 3, 5->6 over 1
        for (auto [a, b, c] : {std::tuple(1, 2, 3), {2, 3, 1}, {3, 4, 5}, {4, 5, 3}, {5, 6, 1}})
            towerMoves(5, a, b, c, moves);
        for (std::size_t i = 0; i < moves.size(); ++i) {
            game->MoveRing(moves[i].first, moves[i].second);
            QCOMPARE(in->moveCount(), int(i + 1));
            QCOMPARE(in->stage(), 2 + int(i + 1) / 31); // each 31st move completes a transfer
        }
        QCOMPARE(snapshot(), (QList{6, 6, 6, 6, 6, 7, 155, 1, 1, 0}));
        QCOMPARE(game->GameOverText(), QStringLiteral("You did it in 155!\r\nIngenious"));
        QCOMPARE(game->DisplayCentered(), game->GameOverText());
        QVERIFY(game->GameOver() && !in->form()->mnuGameAbort->isEnabled());

        // The ranking: each phrase from its least count to the next one's, both ends tried.
        const std::pair<int, const char *> table[] = {
            {0, "Impossible! How did you cheat?!?"}, {155, "Ingenious"}, {156, "Nearly perfect"}, {165, "Excellent"},
            {175, "Good, very good"}, {190, "You're getting the hang of it"}, {200, "A lot better"},
            {250, "Still lousy"}, {300, "Oh well, try again"}, {100000, ""}};
        for (std::size_t i = 0; i + 1 < std::size(table); ++i)
            for (int n : {table[i].first, table[i + 1].first - 1}) {
                game->NewGame();
                in->moveCount() = n;
                game->EndGame(true);
                QCOMPARE(game->GameOverText(), QStringLiteral("You did it in %1%2\r\n%3").arg(n).arg(QLatin1String(n == 155 ? "!" : ":"), QLatin1String(table[i].second)));
            }
    }

    // At a start where the tick counter wraps, or crosses its signed half, while they wait.
    void messagesTakeTurns_data()
    {
        QTest::addColumn<uint>("start");
        QTest::newRow("at zero") << 0u;
        QTest::newRow("across the wrap") << 0xFFFFFC00u;
        QTest::newRow("across the signed half") << 0x7FFFFC00u;
    }
    void messagesTakeTurns()
    {
        QFETCH(uint, start);
        clock->now = start;
        game->SetDisplayCentered("Before");
        for (const char *m : {"\t\x01", "M2", "M2"}) // one that cleans to nothing; equal texts are queued too
            game->SetShortMessage(m);
        QCOMPARE(in->messageQueue(), (QStringList{"M2", "M2"}));
        QVERIFY(after(1124).isEmpty());
        QCOMPARE(after(1), QStringLiteral("M2"));
        QCOMPARE(game->ShortMessage(), QStringLiteral("M2"));
        QCOMPARE(after(1125), QStringLiteral("M2"));
        QVERIFY(in->messageQueue().isEmpty());
        QCOMPARE(after(4499), QStringLiteral("M2")); // the last one stays its full time
        QCOMPARE(after(1), QStringLiteral("Before"));
        QVERIFY(game->ShortMessage().isEmpty());
        QCOMPARE(after(10000), QStringLiteral("Before"));

        game->SetShortMessage("First");
        QCOMPARE(after(3000), QStringLiteral("First"));
        game->SetShortMessage("Second"); // the first has had its quarter already
        QCOMPARE(after(0), QStringLiteral("Second"));
        game->SetDisplayCentered("Other"); // replaced meanwhile: the message again, then the new text
        QCOMPARE(after(10), QStringLiteral("Second"));
        QCOMPARE(after(4490), QStringLiteral("Other"));
    }

    // The end of a game: its ranking over the board, the messages dropped, waiting or
    // shown, with the text from before them; a second end changes nothing. A new game
    // puts the tower back, and its own refusals show at once. (The menu: the window's test.)
    void endAndNewGame()
    {
        in->moveCount() = 42;
        game->SetDisplayCentered("Before");
        game->SetShortMessage("M1");
        game->SetShortMessage("M2");
        for (bool won : {false, true}) {
            game->EndGame(won);
            QVERIFY(game->DisplayInfo() && game->Options() == 1); // set by the state the end gives
            QVERIFY(in->messageQueue().isEmpty() && game->ShortMessage().isEmpty());
            QCOMPARE(after(5000), QStringLiteral("You didn't\r\ndo it in 42..."));
            QCOMPARE(snapshot().mid(5), (QList{1, 42, 1, 2, 0}));
        }
        for (int i = 0; i < 3; ++i)
            game->MoveRing(5, 2); // "Game is not running", shown once and queued twice
        QCOMPARE(after(1124), QStringLiteral("Game is not running.\r\nHit 'New Game'!"));
        in->ring(5).Peg = 3;
        game->NewGame(); // the tower back on peg 1; State and SubState stay
        QCOMPARE(snapshot(), (QList{1, 1, 1, 1, 1, 2, 0, 1, 2, 1}));
        QVERIFY(game->GameOverText().isEmpty() && after(0).isEmpty());
        QVERIFY(game->ShortMessage().isEmpty() && in->messageQueue().isEmpty());
        game->MoveRing(5, 4);
        QCOMPARE(after(0), QStringLiteral("Peg 4 is outside of\r\nthe current triangle!"));
        QVERIFY(after(4500).isEmpty());
    }
};

QTEST_MAIN(TestRules)
#include "tst_rules.moc"
