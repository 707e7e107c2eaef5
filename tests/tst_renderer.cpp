// SPDX-License-Identifier: MIT
// The frame: the board checked pixel by pixel on a 480 x 360 picture; the text over
// it, cleaned, its font fitted to the picture, its colour drifting, mixed in from its
// coverage as the painter draws it ('&' included); every frame, whatever came before
// it, comes out as its state drawn whole, and draws no more than changed. Its runner
// runs the last three again at fractional and whole scale factors (QT_SCALE_FACTOR).
#include "platform/picturebox.h"
#include "testsupport.h"

#include <cmath>

namespace {
const QColor kWhite(255, 255, 255), kBlack(0, 0, 0), kCyan(0, 255, 255);
const QColor kRed(255, 0, 0), kOrange(255, 127, 0), kYellow(255, 255, 0), kGreen(0, 255, 0), kPink(255, 191, 191);
const QPoint kDots[] = {{}, {160, 180}, {80, 300}, {240, 300}, {400, 300}, {320, 180}, {240, 60}};

bool isDark(QColor c)
{
    return c.red() < 128 && c.green() < 128 && c.blue() < 128;
}
} // namespace

class TestRenderer : public QObject, private GameFixture
{
    Q_OBJECT

    QColor px(int x, int y) const { return in->view()->picture().pixelColor(x, y); }
    // The colours from a peg's centre outwards, one inside each ring's band.
    QList<QColor> bands(QPoint c) const
    {
        QList<QColor> list;
        for (int d : {0, 9, 22, 30, 38, 46})
            list << px(c.x() + d, c.y());
        return list;
    }

private slots:
    void init()
    {
        start();
        in->view()->Move(10, 0, 480, 360);
    }
    void cleanup() { stop(); }

    void workedFrameAfterNewGame()
    {
        QCOMPARE(frame().size(), QSize(480, 360));
        for (QPoint p : {QPoint(240, 0), QPoint(0, 359), QPoint(479, 359), QPoint(100, 240)}) // outline corners, triangle's left edge
            QVERIFY2(isDark(px(p.x(), p.y())), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        QCOMPARE(px(300, 359), kBlack); // the outline's base
        QCOMPARE(px(360, 330), kWhite); // no other triangle
        QCOMPARE(px(84, 300), kCyan);   // peg 2's dot, radius 5 ...
        QCOMPARE(px(87, 300), kWhite);  // ... and no more
        QCOMPARE(bands(kDots[1]), (QList{kBlack, kPink, kGreen, kYellow, kOrange, kRed}));
        QCOMPARE(px(160 + 53, 180), kWhite);
        QCOMPARE(px(160, 180 - 46), kRed);
    }

    void stageTrianglesAndTargetDots()
    {
        const QList<QPoint> left{{40, 330}, {280, 330}, {160, 150}}, right{{200, 330}, {440, 330}, {320, 150}},
            top{{120, 210}, {360, 210}, {240, 30}};
        for (auto [stage, corners, cyanPegs] : {std::tuple(1, left, QList{1}), {2, left, {2}}, {3, left, {3}}, {4, right, {4}},
                                                {5, right, {5}}, {6, top, {6}}, {7, top, {1, 2, 3, 4, 5, 6}}}) {
            in->setPegs(QList<int>(5, stage == 4 || stage == 5 ? 2 : 4)); // the tower covers no corner
            in->stage() = stage;
            frame();
            for (QPoint c : corners)
                QVERIFY2(isDark(px(c.x(), c.y())), qPrintable(QStringLiteral("stage %1, corner %2,%3").arg(stage).arg(c.x()).arg(c.y())));
            QCOMPARE(px((corners[0].x() + corners[1].x()) / 2 - 30, corners[0].y()), kBlack);
            for (int p = 1; p <= 6; ++p)
                QCOMPARE(px(kDots[p].x(), kDots[p].y()), cyanPegs.contains(p) ? kCyan : kBlack);
        }
    }

    void ringsAndTheDraggedRing()
    {
        in->ring(2).Peg = 3;
        in->ring(4).Peg = 3;
        frame();
        QCOMPARE(bands(kDots[1]), (QList{kBlack, kPink, kYellow, kYellow, kRed, kRed}));
        QCOMPARE(bands(kDots[3]), (QList{kBlack, kGreen, kGreen, kOrange, kOrange, kWhite}));

        in->setDrag(5, 400, 300); // right over peg 4's dot
        frame();
        QCOMPARE(px(400, 300), kPink);
        QCOMPARE(px(409, 300), kPink);
        QCOMPARE(bands(kDots[1]), (QList{kBlack, kYellow, kYellow, kYellow, kRed, kRed}));
        in->setDrag(0, 400, 300); // the position alone draws nothing
        frame();
        QCOMPARE(px(400, 300), kBlack);
        QCOMPARE(px(409, 300), kWhite);
    }

    // A ring on peg 9 or 0, or ring 6 dragged: the last good frame stays, and the next good one is whole.
    void badRingPegStopsTheFrame()
    {
        for (auto [peg, dragRing] : {std::pair(9, 0), {0, 0}, {3, 6}}) {
            const QImage before = frame().copy();
            in->ring(3).Peg = peg;
            in->setDrag(dragRing, 100, 100);
            QVERIFY_THROWS_EXCEPTION(std::exception, game->Refresh());
            QCOMPARE(in->view()->picture(), before);
            in->ring(3).Peg = 1;
            in->setDrag(0, 0, 0);
            QCOMPARE(frame(), before);
        }
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
    // shown keeps its font when the board grows or shrinks. Line breaks alone draw nothing.
    void fontFollowsTheText()
    {
        const QImage board = frame().copy();
        game->SetDisplayCentered("\r\n\r\n");
        QVERIFY(frame() == board && !in->overlayFont() && in->overlayColour() == 0); // not even a colour step
        game->SetDisplayCentered("Game is not running.\r\nHit 'New Game'!");
        frame();
        const TextFont *font = in->overlayFont();
        // 20 characters 18 wide (480 * 75 / 100 / 20), 135 high (360 * 75 / 100 / 2), of one pitch.
        const QSize block = font->measure({"Game is not running.", "Hit 'New Game'!"});
        QVERIFY2(qAbs(block.width() - 360) <= 4 && block.height() >= 2 * 135 && block.height() <= 2 * 160,
                 qPrintable(QStringLiteral("%1 x %2").arg(block.width()).arg(block.height())));
        QCOMPARE(font->measure({"iiii"}), font->measure({"WWWW"}));
        in->view()->Move(10, 0, 800, 600);
        frame();
        QCOMPARE(in->overlayFont(), font);
        game->SetDisplayCentered("Hello!"); // a new text, fitted anew: 800 * 75 / 100 / 6 wide
        frame();
        QVERIFY(qAbs(in->overlayFont()->measure({"Hello!"}).width() - 600) <= 6);
        game->SetDisplayCentered(QString());
        frame();
        QVERIFY(!in->overlayFont()); // released with the text
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

    void textFramesMatchThePainter()
    {
        game->MoveRing(5, 2); // a ring on a peg and the stage's triangle under the text
        for (auto [text, size, colour] : {std::tuple("You did it in 155!\r\nIngenious", QSize(501, 355), 0x3080C0u),
                                          {"Peg 4 is outside of\r\nthe current triangle!", {501, 355}, 0x102030u},
                                          {"You didn't\r\ndo it in 42...", {1600, 900}, 0xF0F0F0u},
                                          {"A & B ~ {x}", {130, 90}, 0x00FF00u}}) {
            in->view()->Move(10, 0, size.width(), size.height());
            in->setDrag(4, size.width() / 2.0f, size.height() / 2.0f); // and a ring dragged under it
            const auto [shown, painted] = in->textAndPainted(text, colour);
            QVERIFY2(shown == painted, text);
        }
    }

    // A game's frames, each the same as its state drawn whole into a new picture, to
    // the pixel, at any scale factor, in the picture and on screen: no seam where a ring
    // or a text was. A frame draws nothing when nothing changed, little when a ring moved.
    void everyFrameIsItsStateDrawnWhole()
    {
        enum Drawn { Nothing, Little, Any };
        const auto drag = [this](float x, float y) { return [=, this] { in->setDrag(in->dragRing(), x, y); }; };
        const auto key = [this](Qt::Key k) { return [=, this] { QTest::keyClick(in->view(), k); }; };
        const std::tuple<const char *, std::function<void()>, Drawn> steps[] = {
            {"the board", [] {}, Any},
            {"the same board", [] {}, Nothing},
            {"a drag begins", [this] { in->mouseDown(160, 180); }, Any},
            {"over the rings below", drag(171.37f, 183.61f), Little},
            {"between pegs", drag(211.5f, 240.25f), Little},
            {"dropped on peg 2", [this] { in->mouseUp(80, 300); }, Any},
            {"a ring lifted by key", key(Qt::Key_1), Any},
            {"carried over peg 3", key(Qt::Key_Right), Little},
            {"carried back over peg 1", key(Qt::Key_Left), Little},
            {"refused: a message", key(Qt::Key_2), Any},
            {"its colour steps", [] {}, Any},
            {"a drag under it", [this] { in->mouseDown(80, 300), in->setDrag(5, 241.3f, 178.7f); }, Any},
            {"moved under it", drag(250.1f, 190.4f), Any},
            {"let go", [this] { in->mouseUp(400, 60); }, Any},
            {"the message expires", [this] { clock->advance(4500); }, Any},
            {"a new game", [this] { game->NewGame(); }, Any},
            {"a resize", [this] { in->view()->Move(10, 0, 501, 355); }, Any},
            {"the closing text", [this] { game->EndGame(true); }, Any},
            {"its colour steps", [] {}, Any}};
        Colour colour = 0x204060;
        QImage screen;
        QRect placed;
        for (const auto &[what, change, drawn] : steps) {
            change();
            const qint64 shown = in->view()->picture().cacheKey();
            const QImage picture = in->frameIn(colour);
            const QRect changed = in->buffer()->changed();
            QVERIFY2((in->view()->picture().cacheKey() == shown) == (drawn == Nothing) &&
                         changed.isEmpty() == (drawn == Nothing),
                     what);
            QVERIFY2(drawn != Little || changed.width() * changed.height() * 4 < picture.width() * picture.height(), what);
            // On screen the window paints anew only what changed, in place: the same as painting it all.
            const double r = picture.devicePixelRatio();
            QImage all(in->form()->size() * r, QImage::Format_RGB32);
            all.setDevicePixelRatio(r);
            in->form()->render(&all);
            const QRect place(in->view()->mapTo(in->form(), QPoint()), in->view()->size());
            screen = place == placed ? screen : all.copy(); // a view placed anew is painted whole
            placed = place;
            const QRect area = QRectF(QPointF(changed.topLeft()) / r, QSizeF(changed.size()) / r).toAlignedRect().translated(place.topLeft());
            if (!area.isEmpty())
                in->form()->render(&screen, area.topLeft(), area);
            PictureBox *kept = in->buffer(), whole;
            whole.Move(kept->Left(), kept->Top(), kept->Width(), kept->Height());
            in->buffer() = &whole;
            const QImage drawnWhole = in->frameIn(colour);
            in->buffer() = kept;
            in->view()->PaintPicture(kept->Image(), {});
            QVERIFY2(picture == drawnWhole && screen == all, what);
            colour ^= 0x0A0A0A;
        }
    }

    // At a scale factor the frame is drawn at device resolution, in the same geometry in logical pixels.
    void drawnAtDeviceResolution()
    {
        const double ratio = in->view()->devicePixelRatioF();
        QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
        const QImage board = frame();
        QCOMPARE(board.size(), QSize(std::ceil(480 * ratio), std::ceil(360 * ratio)));
        QCOMPARE(board.devicePixelRatio(), ratio);
        for (double d = 44; d <= 48; d += 0.5) // ring 1's band right of peg 1
            QCOMPARE(board.pixelColor(qRound((160 + d) * ratio), qRound(180 * ratio)), kRed);
    }
};
QTEST_MAIN(TestRenderer)
#include "tst_renderer.moc"
