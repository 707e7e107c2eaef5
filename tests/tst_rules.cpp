// SPDX-License-Identifier: MIT
// The rules: the board at the start, moves and their refusals, the stages, the
// end of a game with its ranking, and the option bits.
#include "game/ranking.h"
#include "testsupport.h"

#include <QAction>
#include <QtTest>

#include <memory>

class TestRules : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Game> game;
    std::unique_ptr<GameInspector> in;
    std::unique_ptr<FakeClock> clock;
    std::unique_ptr<BoxRecorder> boxes;

    struct Snapshot
    {
        std::array<std::int32_t, 6> pegs;
        std::int32_t stage, moves, state, subState;
        bool running;
        bool operator==(const Snapshot &) const = default;
    };
    Snapshot snapshot()
    {
        Snapshot s{};
        for (int r = 1; r <= 5; ++r)
            s.pegs[r] = in->ring(r).Peg;
        s.stage = in->stage();
        s.moves = in->moveCount();
        s.state = game->State();
        s.subState = game->SubState();
        s.running = in->running();
        return s;
    }
    // Plays a list of moves, failing on the first one that is not accepted.
    void play(const std::vector<std::pair<int, int>> &moves)
    {
        for (const auto &[ring, peg] : moves) {
            const std::int32_t before = in->moveCount();
            game->MoveRing(ring, peg);
            QVERIFY2(in->moveCount() == before + 1 || !in->running(),
                     qPrintable(QStringLiteral("move %1 -> %2 refused: %3").arg(ring).arg(peg).arg(game->ShortMessage())));
        }
    }

private slots:
    void init()
    {
        clock = std::make_unique<FakeClock>();
        boxes = std::make_unique<BoxRecorder>();
        game = std::make_unique<Game>();
        in = std::make_unique<GameInspector>(*game);
    }
    void cleanup()
    {
        in.reset();
        game.reset();
        boxes.reset();
        clock.reset();
    }

    void acceptedAndRefusedMoves()
    {
        game->MoveRing(5, 2);
        QCOMPARE(in->ring(5).Peg, 2);
        QCOMPARE(in->moveCount(), 1);

        // Bigger on smaller: three lines naming the ring, the smaller ring and the peg.
        const Snapshot before = snapshot();
        game->MoveRing(4, 2);
        QVERIFY(snapshot() == before);
        QCOMPARE(game->ShortMessage(),
                 QStringLiteral("No way moving bigger ring 4\r\non top of smaller ring 5\r\nin peg 2!"));
    }

    void refusalsChangeNothing_data()
    {
        QTest::addColumn<int>("ring");
        QTest::addColumn<int>("peg");
        QTest::addColumn<QString>("message");
        QTest::newRow("outside triangle") << 5 << 4 << "Peg 4 is outside of\r\nthe current triangle!";
        QTest::newRow("peg 6 at stage 2") << 5 << 6 << "Peg 6 is outside of\r\nthe current triangle!";
    }
    void refusalsChangeNothing()
    {
        QFETCH(int, ring);
        QFETCH(int, peg);
        QFETCH(QString, message);
        const Snapshot before = snapshot();
        game->MoveRing(ring, peg);
        QVERIFY(snapshot() == before);
        QCOMPARE(game->ShortMessage(), message);
        QVERIFY(boxes->texts.isEmpty());
    }

    void notRunningShowsOnlyTheMessage()
    {
        game->EndGame(false);
        const Snapshot before = snapshot();
        game->MoveRing(0, 99); // out of range too: still only the message
        QVERIFY(snapshot() == before);
        QVERIFY(boxes->texts.isEmpty());
        QCOMPARE(game->ShortMessage(), QStringLiteral("Game is not running.\r\nHit 'New Game'!"));
    }

    void outOfRangeNumbersOpenTheBox_data()
    {
        QTest::addColumn<int>("ring");
        QTest::addColumn<int>("peg");
        QTest::newRow("ring 0") << 0 << 3;
        QTest::newRow("peg 7") << 2 << 7;
        QTest::newRow("ring 6") << 6 << 1;
        QTest::newRow("peg 0") << 1 << 0;
        QTest::newRow("negative") << -1 << -1;
    }
    void outOfRangeNumbersOpenTheBox()
    {
        QFETCH(int, ring);
        QFETCH(int, peg);
        const Snapshot before = snapshot();
        game->MoveRing(ring, peg);
        QVERIFY(snapshot() == before);
        QCOMPARE(boxes->texts, QStringList{QStringLiteral("Ring %1 or peg %2 does'nt exist").arg(ring).arg(peg)});
        QCOMPARE(boxes->titles, QStringList{QStringLiteral("Ostrel 'Pegmarch' 1.3.3")});
        QVERIFY(game->ShortMessage().isEmpty());
    }

    void ringBackOnItsOwnPegIsNoMove()
    {
        const Snapshot before = snapshot();
        game->MoveRing(5, 1);
        QVERIFY(snapshot() == before);
        QVERIFY(game->ShortMessage().isEmpty());
    }

    void stageSixTriangle()
    {
        // The whole tower on peg 5, stage 6: pegs 5, 6 and 1 are open.
        for (int r = 1; r <= 5; ++r)
            in->ring(r).Peg = 5;
        in->stage() = 6;
        game->MoveRing(5, 1);
        QCOMPARE(in->ring(5).Peg, 1);
        for (int peg : {2, 3, 4}) {
            game->MoveRing(4, peg);
            QCOMPARE(in->ring(4).Peg, 5);
            const QString said = game->messageQueue().isEmpty() ? game->ShortMessage() : game->messageQueue().last();
            QCOMPARE(said.left(6), QStringLiteral("Peg %1 ").arg(peg));
        }
        game->MoveRing(4, 6);
        QCOMPARE(in->ring(4).Peg, 6);
        QCOMPARE(in->moveCount(), 2);
    }

    void stageAdvancesOnlyOnTheTargetPeg()
    {
        std::vector<std::pair<int, int>> toPeg3;
        towerMoves(5, 1, 3, 2, toPeg3);
        play(toPeg3);
        // A whole tower on peg 3 during the first transfer does not count.
        QCOMPARE(in->stage(), 2);
        QCOMPARE(in->moveCount(), 31);

        game->NewGame();
        std::vector<std::pair<int, int>> first;
        towerMoves(5, 1, 2, 3, first);
        first.pop_back();
        play(first);
        QCOMPARE(in->stage(), 2);
        game->MoveRing(5, 2); // the 31st move completes the tower
        QCOMPARE(in->stage(), 3);
        QCOMPARE(in->moveCount(), 31);
        game->MoveRing(5, 4); // the triangle is still pegs 1 to 3
        QCOMPARE(in->ring(5).Peg, 2);
    }

    void optimalGameIsIngenious()
    {
        const auto moves = optimalGame();
        QCOMPARE(moves.size(), std::size_t(155));
        int transfer = 0;
        for (std::size_t i = 0; i < moves.size(); ++i) {
            game->MoveRing(moves[i].first, moves[i].second);
            QCOMPARE(in->moveCount(), std::int32_t(i + 1));
            if ((i + 1) % 31 == 0)
                ++transfer;
            QCOMPARE(in->stage(), 2 + transfer);
        }
        QVERIFY(!in->running());
        QCOMPARE(in->stage(), 7);
        for (int r = 1; r <= 5; ++r)
            QCOMPARE(in->ring(r).Peg, 6);
        QCOMPARE(game->GameOverText(), QStringLiteral("You did it in 155!\r\nIngenious"));
        QCOMPARE(game->DisplayCentered(), game->GameOverText());
        QVERIFY(game->GameOver());
        QCOMPARE(game->State(), 1);
        QCOMPARE(game->SubState(), 1);
        QVERIFY(!in->abortAction()->isEnabled());
        game->MoveRing(5, 5);
        QCOMPARE(game->ShortMessage(), QStringLiteral("Game is not running.\r\nHit 'New Game'!"));
    }

    void oneExtraMoveIsNearlyPerfect()
    {
        auto moves = optimalGame();
        // A detour in the first transfer: ring 5 to peg 3 and back before its first move.
        moves.insert(moves.begin(), {5, 3});
        moves[1] = {5, 2};
        play(moves);
        QVERIFY(!in->running());
        QCOMPARE(in->moveCount(), 156);
        QCOMPARE(game->GameOverText(), QStringLiteral("You did it in 156:\r\nNearly perfect"));
    }

    void rankingBoundaries_data()
    {
        QTest::addColumn<int>("moves");
        QTest::addColumn<QString>("phrase");
        QTest::newRow("0") << 0 << "Impossible! How did you cheat?!?";
        QTest::newRow("154") << 154 << "Impossible! How did you cheat?!?";
        QTest::newRow("155") << 155 << "Ingenious";
        QTest::newRow("156") << 156 << "Nearly perfect";
        QTest::newRow("164") << 164 << "Nearly perfect";
        QTest::newRow("165") << 165 << "Excellent";
        QTest::newRow("174") << 174 << "Excellent";
        QTest::newRow("175") << 175 << "Good, very good";
        QTest::newRow("189") << 189 << "Good, very good";
        QTest::newRow("190") << 190 << "You're getting the hang of it";
        QTest::newRow("199") << 199 << "You're getting the hang of it";
        QTest::newRow("200") << 200 << "A lot better";
        QTest::newRow("249") << 249 << "A lot better";
        QTest::newRow("250") << 250 << "Still lousy";
        QTest::newRow("299") << 299 << "Still lousy";
        QTest::newRow("300") << 300 << "Oh well, try again";
        QTest::newRow("100000") << 100000 << "Oh well, try again";
    }
    void rankingBoundaries()
    {
        QFETCH(int, moves);
        QFETCH(QString, phrase);
        in->moveCount() = moves;
        game->EndGame(true);
        const QString mark = moves == 155 ? "!" : ":";
        QCOMPARE(game->GameOverText(), QStringLiteral("You did it in %1%2\r\n").arg(moves).arg(mark) + phrase);
        QCOMPARE(RankingPhrase(moves), phrase);
    }

    void abortAndItsText()
    {
        in->moveCount() = 42;
        in->dragRing() = 3;
        game->EndGame(false);
        QCOMPARE(game->GameOverText(), QStringLiteral("You didn't\r\ndo it in 42..."));
        QCOMPARE(game->DisplayCentered(), game->GameOverText());
        QCOMPARE(in->stage(), 1);
        QCOMPARE(game->State(), 1);
        QCOMPARE(game->SubState(), 2);
        QVERIFY(game->GameOver());
        QCOMPARE(in->dragRing(), 0);
        QVERIFY(!in->abortAction()->isEnabled());

        // A second end changes nothing.
        game->EndGame(true);
        QCOMPARE(game->GameOverText(), QStringLiteral("You didn't\r\ndo it in 42..."));
        QCOMPARE(game->SubState(), 2);
        QCOMPARE(in->stage(), 1);

        game->NewGame();
        game->EndGame(false);
        QCOMPARE(game->GameOverText(), QStringLiteral("You didn't\r\ndo it in 0..."));
    }

    void newGameDuringAGame()
    {
        game->MoveRing(5, 2);
        game->MoveRing(4, 3);
        game->EndGame(false);
        game->NewGame();
        game->MoveRing(5, 3);
        game->MoveRing(4, 4); // a refusal that stays up
        const QString message = game->ShortMessage();
        game->NewGame();
        for (int r = 1; r <= 5; ++r)
            QCOMPARE(in->ring(r).Peg, 1);
        QCOMPARE(in->moveCount(), 0);
        QCOMPARE(in->stage(), 2);
        QVERIFY(game->GameOverText().isEmpty());
        QVERIFY(game->DisplayCentered().isEmpty());
        // State, SubState and the message stay as they were.
        QCOMPARE(game->State(), 1);
        QCOMPARE(game->SubState(), 2);
        QCOMPARE(game->ShortMessage(), message);
        QVERIFY(in->abortAction()->isEnabled());
    }

    void optionBits()
    {
        game->SetState(2);
        game->SetSubState(0);
        game->SetSubState(3);
        QCOMPARE(game->Options(), 0);
        QVERIFY(!game->DisplayInfo());
        game->SetSubState(2);
        QCOMPARE(game->Options(), 1);
        game->SetDisplayInfo(true);
        QCOMPARE(game->Options(), 1);
        game->SetDisplayInfo(false);
        QCOMPARE(game->Options(), 0);
        game->SetState(0);
        QVERIFY(game->DisplayInfo());

        game->SetDisplayInfo(false);
        game->EndGame(true);
        QVERIFY(game->DisplayInfo());
        game->NewGame();
        QCOMPARE(game->Options(), 1);
    }
};

QTEST_MAIN(TestRules)
#include "tst_rules.moc"
