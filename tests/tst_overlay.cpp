// SPDX-License-Identifier: MIT
// The text over the board: its cleaning, the font sized to the picture, the
// drifting colour and what reaches the frame; and the short messages, shown at
// once or queued, giving way and expiring by the clock, the text from before
// them put back.
#include "platform/random.h"
#include "platform/textlayer.h"
#include "testsupport.h"

class TestOverlay : public QObject, private GameFixture
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
    void init()
    {
        start();
        in->view()->Move(10, 0, 501, 355);
    }
    void cleanup()
    {
        Random::setSource({});
        stop();
    }

    void cleaning()
    {
        for (auto [raw, clean] : {std::pair<QString, QString>(QString::fromUtf8("caf\u00e9\tx\ny\rz"), "cafxyz"),
                                  {"\nA\r\r\nB\n\rC\r", "A\r\nBC"}, {QString(" ~\x7f") + QChar(0), " ~"}}) {
            game->SetDisplayCentered(raw); // tab, accented, lone breaks, DEL and NUL go; blank and tilde stay
            QCOMPARE(game->DisplayCentered(), clean);
        }
    }

    // The font is fitted to the board when the text changes, and only then: a text
    // shown keeps its font when the board grows or shrinks.
    void fontFollowsTheText()
    {
        game->SetDisplayCentered("Game is not running.\r\nHit 'New Game'!"); // the longer line 20 characters
        frame();
        const TextFont *font = in->overlayFont();
        QCOMPARE(font->description().height, -133); // 355 * 75 / 100 / 2 = 133.125
        QCOMPARE(font->description().width, 19);    // 501 * 75 / 100 / 20 = 18.7875
        // The face really comes out so: fixed pitch, character height and average width.
        QCOMPARE(font->font().pixelSize(), 133);
        QVERIFY(qAbs(QFontMetricsF(font->font()).averageCharWidth() - 19) <= 1.0 && QFontInfo(font->font()).fixedPitch());
        in->view()->Move(10, 0, 800, 600);
        frame();
        QCOMPARE(in->overlayFont(), font);
        game->SetDisplayCentered("Hello!"); // a new text, fitted anew: 800 * 75 / 100 / 6
        frame();
        QCOMPARE(in->overlayFont()->description().width, 100);
        game->SetDisplayCentered(QString());
        frame();
        QVERIFY(!in->overlayFont()); // released with the text
    }

    void textReachesTheFrameAndLeaves()
    {
        const QImage board = frame();
        game->SetDisplayCentered("\r\n\r\n"); // only line breaks: nothing drawn, no colour step
        QCOMPARE(frame(), board);
        QVERIFY(!in->overlayFont() && in->overlayColour() == 0);
        game->SetDisplayCentered("&"); // drawn as itself, not taken for a mnemonic
        QVERIFY(frame() != board);
        game->SetDisplayCentered(QString());
        game->MoveRing(5, 4); // refused: a message over the board, for 4.5 s
        QVERIFY(frame() != board);
        clock->advance(4500);
        QCOMPARE(frame(), board);
    }

    void colourBouncesAtTheTop()
    {
        game->SetDisplayCentered("Text");
        for (auto [r, step, red] : {std::tuple(0.25f, -10, 255), {0.75f, -30, 240}, {0.0f, 0, 255}}) { // 270 - 10: 255
            in->setColour(250 + (100 << 8) + (100 << 16), 20, 1, -1);
            Random::setSource([r] { return r; });
            frame();
            QCOMPARE(in->stepRed(), step);
            QCOMPARE(in->overlayColour(), Colour(red + (101 << 8) + (99 << 16)));
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
        QCOMPARE(game->messageQueue(), (QStringList{"M2", "M2"}));
        QVERIFY(after(1124).isEmpty());
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
        game->SetDisplayCentered("Other"); // replaced meanwhile: the message again, then the new text
        QCOMPARE(after(10), QStringLiteral("Second"));
        QCOMPARE(after(4490), QStringLiteral("Other"));
    }

    // The end of a game drops the messages, waiting or shown, and the text from before
    // them; so does a new game, whose own refusals then show at once.
    void endAndNewGameDropTheMessages()
    {
        game->SetDisplayCentered("Before");
        game->SetShortMessage("M1");
        game->SetShortMessage("M2");
        game->EndGame(false);
        const QString ranking = game->GameOverText();
        QCOMPARE(game->DisplayCentered(), ranking);
        QVERIFY(game->messageQueue().isEmpty() && game->ShortMessage().isEmpty());
        QCOMPARE(after(5000), ranking);
        for (int i = 0; i < 3; ++i)
            game->MoveRing(5, 2); // "Game is not running", shown once and queued twice
        QCOMPARE(after(1124), QStringLiteral("Game is not running.\r\nHit 'New Game'!"));
        game->NewGame();
        QVERIFY(after(0).isEmpty() && game->ShortMessage().isEmpty() && game->messageQueue().isEmpty());
        game->MoveRing(5, 4);
        QCOMPARE(after(0), QStringLiteral("Peg 4 is outside of\r\nthe current triangle!"));
        QVERIFY(after(4500).isEmpty());
    }

};

QTEST_MAIN(TestOverlay)
#include "tst_overlay.moc"
