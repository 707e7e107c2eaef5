// SPDX-License-Identifier: MIT
// The centred text: cleaning, the font sized to the picture, the drifting colour,
// and what reaches the frame.
#include "platform/pictureview.h"
#include "platform/textlayer.h"
#include "testsupport.h"
#include "support/rounding.h"
#include "ui/textclean.h"

#include <QtTest>

#include <memory>

namespace {
// Pixels of the frame's middle half that differ from the same board without text.
int inkIn(const QImage &img, const QImage &board)
{
    int ink = 0;
    for (int y = img.height() / 4; y < img.height() * 3 / 4; ++y)
        for (int x = img.width() / 4; x < img.width() * 3 / 4; ++x)
            if (img.pixel(x, y) != board.pixel(x, y))
                ++ink;
    return ink;
}
} // namespace

class TestOverlay : public QObject, private GameFixture
{
    Q_OBJECT

    QImage frame()
    {
        game->Refresh();
        return in->view()->picture();
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

    void cleaning_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("clean");
        QTest::newRow("tab") << "a\tb" << "ab";
        QTest::newRow("accented") << QString::fromUtf8("caf\u00e9 cr\u00e8me") << "caf crme";
        QTest::newRow("lone LF") << "one\ntwo" << "onetwo";
        QTest::newRow("lone CR") << "one\rtwo" << "onetwo";
        QTest::newRow("leading LF") << "\nx" << "x";
        QTest::newRow("CR CR LF") << "a\r\r\nb" << "a\r\nb";
        QTest::newRow("LF CR") << "a\n\rb" << "ab";
        QTest::newRow("trailing CR") << "a\r" << "a";
        QTest::newRow("tilde and blank kept") << " ~ " << " ~ ";
        QTest::newRow("DEL and NUL") << QString("a\x7f") + QChar(0) + "b" << "ab";
    }
    void cleaning()
    {
        QFETCH(QString, raw);
        QFETCH(QString, clean);
        QCOMPARE(CleanOverlayText(raw), clean);
        game->SetDisplayCentered(raw);
        QCOMPARE(game->DisplayCentered(), clean);
    }

    void fontForTheNotRunningText()
    {
        game->EndGame(false);
        game->MoveRing(1, 1);
        frame();
        const TextFont *font = in->overlayFont();
        QVERIFY(font);
        QCOMPARE(in->lineCount(), 2);
        QCOMPARE(in->longestLine(), 20);
        // 355 * 75 / 100 / 2 = 133.125; 501 * 75 / 100 / 20 = 18.7875.
        QCOMPARE(font->description().height, -133);
        QCOMPARE(font->description().width, 19);
        QCOMPARE(font->description().weight, 400);
        QCOMPARE(QByteArray(font->description().faceName.data()), QByteArray("Courier New"));
        // The face really comes out at that size: character height and average width.
        const QFontMetricsF m(font->font());
        QCOMPARE(font->font().pixelSize(), 133);
        QVERIFY2(qAbs(m.averageCharWidth() - 19) <= 1.0, qPrintable(QString::number(m.averageCharWidth())));
        QVERIFY(QFontInfo(font->font()).fixedPitch());
    }

    void fontIsKeptWhileTheTextStays()
    {
        game->SetDisplayCentered("Hello");
        frame();
        const TextFont *first = in->overlayFont();
        game->SetDisplayCentered("Hello"); // the same text again changes nothing
        in->view()->Move(10, 0, 800, 600); // a resize alone keeps the font too
        frame();
        QCOMPARE(in->overlayFont(), first);
        QCOMPARE(first->description().width, RoundEven(501 * 75 / 100.0 / 5));

        game->SetDisplayCentered("Hello!");
        frame();
        QVERIFY(in->overlayFont());
        QCOMPARE(in->overlayFont()->description().width, RoundEven(800 * 75 / 100.0 / 6));

        game->SetDisplayCentered(QString());
        frame();
        QVERIFY(!in->overlayFont()); // released with the text
        QCOMPARE(in->lineCount(), 0);
    }

    void onlyLineBreaksDrawNothing()
    {
        const QImage board = frame();
        game->SetDisplayCentered("\r\n\r\n");
        const Colour before = in->overlayColour();
        QCOMPARE(frame(), board);
        QVERIFY(!in->overlayFont());
        QCOMPARE(in->overlayColour(), before); // no colour step either
    }

    void textReachesTheFrameAndLeaves()
    {
        const QImage board = frame();
        QCOMPARE(inkIn(frame(), board), 0);
        game->MoveRing(5, 4); // refused: a message over the board
        QVERIFY(inkIn(frame(), board) > 500);
        clock->advance(4499);
        QVERIFY(inkIn(frame(), board) > 500);
        clock->advance(1);
        QCOMPARE(inkIn(frame(), board), 0);
    }

    void ampersandIsDrawnAsItself()
    {
        const QImage board = frame();
        game->SetDisplayCentered("&");
        QVERIFY(inkIn(frame(), board) > 200);
    }

    void colourBouncesAtTheTop_data()
    {
        QTest::addColumn<float>("r");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("red");
        QTest::newRow("r 0.25") << 0.25f << -10 << 255; // 270 - 10 clamps to 255
        QTest::newRow("r 0.75") << 0.75f << -30 << 240;
        QTest::newRow("r 0") << 0.0f << 0 << 255;
    }
    void colourBouncesAtTheTop()
    {
        QFETCH(float, r);
        QFETCH(int, step);
        QFETCH(int, red);
        game->SetDisplayCentered("Text");
        in->setOverlayColour(250 + (100 << 8) + (100 << 16));
        in->stepRed() = 20;
        in->stepGreen() = 1;
        in->stepBlue() = -1;
        Random::setSource([r] { return r; });
        frame();
        QCOMPARE(in->stepRed(), step);
        QCOMPARE(int(in->overlayColour() & 0xFF), red);
        QCOMPARE(int((in->overlayColour() >> 8) & 0xFF), 101);
        QCOMPARE(int((in->overlayColour() >> 16) & 0xFF), 99);
    }
};

QTEST_MAIN(TestOverlay)
#include "tst_overlay.moc"
