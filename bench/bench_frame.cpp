// SPDX-License-Identifier: MIT
// Frame cost: Refresh of the real Game, shown on the view, at three sizes and in
// four situations, beside the floor of clearing and copying a frame of that size.
#include "game/game.h"
#include "platform/picturebox.h"
#include "platform/pictureview.h"
#include "platform/textlayer.h"
#include "ui/frmmain.h"

#include "../tests/testsupport.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <memory>

namespace {
struct Size
{
    int w, h;
    const char *name;
};
constexpr Size kSizes[] = {{501, 355, "501x355"}, {1920, 1080, "1920x1080"}, {3840, 2160, "3840x2160"}};

// Message and Closing are frames as the game draws them while the text is up: the
// board stays, the text changes colour. Board and the *Whole cases draw a frame
// whole, as after a move or a resize.
// FirstTextPlain paints the same first frames as FirstText with the painter alone.
enum class Case { Board, Drag, Message, Closing, BoardIdle, FirstText, FirstTextPlain, MessageWhole, ClosingWhole };

// One game per size, kept across cases: building windows is not what we measure.
std::map<int, std::unique_ptr<Game>> games;

// The screen a frame is copied onto, one per size and shared by the floor and the
// frames, so that both write into the same memory, already mapped and warm.
QImage &screenFor(const Size &s)
{
    static std::map<int, QImage> screens;
    QImage &screen = screens[s.w];
    if (screen.isNull()) {
        screen = QImage(s.w, s.h, QImage::Format_RGB32);
        screen.fill(Qt::black);
    }
    return screen;
}

Game &gameFor(const Size &s)
{
    auto &g = games[s.w];
    if (!g) {
        g = std::make_unique<Game>();
        GameInspector in(*g);
        in.timer()->stop();
        frmMain *f = in.form();
        const QSize frame = f->size() - QSize(int(f->ScaleWidth()), int(f->ScaleHeight()));
        f->resize(s.w + 20 + frame.width(), s.h + 10 + frame.height());
        QCoreApplication::processEvents();
        in.view()->Move(10, 0, s.w, s.h);
        if (f->ScaleWidth() < s.w + 20 || f->ScaleHeight() < s.h + 10)
            qFatal("the window could not be made %dx%d", s.w + 20, s.h + 10);
    }
    return *g;
}

void setUp(Game &game, Case c)
{
    GameInspector in(game);
    // Ending a game drops any message left over from another case.
    game.NewGame();
    game.EndGame(false);
    game.NewGame();
    in.setDrag(0, 0, 0);
    switch (c) {
    case Case::Board:
    case Case::BoardIdle:
    case Case::FirstText:
    case Case::FirstTextPlain:
        break;
    case Case::Drag:
        in.setDrag(5, 0, 0);
        break;
    case Case::Message:
    case Case::MessageWhole:
        game.MoveRing(5, 4); // "Peg 4 is outside of" / "the current triangle!"
        break;
    case Case::Closing:
    case Case::ClosingWhole:
        game.EndGame(true);
        break;
    }
}

void frame(benchmark::State &state, const Size &s, Case c)
{
    FakeClock clock; // the message stays up however long the run takes
    Game &game = gameFor(s);
    GameInspector in(game);
    setUp(game, c);
    PictureView *view = in.view();
    // The view paints itself onto the screen as it paints into the window, without
    // a platform that clips to its own screen.
    QImage &screen = screenFor(s);
    // A new text is rasterised once, on its first frame; what is measured is a
    // frame while it stays up. (That first frame is timed by first_text.)
    game.Refresh();
    float x = 0;
    bool other = false;
    for (auto _ : state) {
        if (c == Case::FirstText) {
            // Two texts in turn: each frame builds the font and rasterises the block.
            other = !other;
            game.SetDisplayCentered(other ? QStringLiteral("You did it in 155!\r\nIngenious")
                                          : QStringLiteral("You did it in 157:\r\nExcellent"));
        } else if (c == Case::Drag) {
            // Every mouse move of a drag is a new frame.
            x = x > s.w ? 0 : x + 7;
            in.setDrag(5, x, s.h / 2.0f);
        } else if (c == Case::Board || c == Case::MessageWhole || c == Case::ClosingWhole) {
            // A ring moved on: the board is drawn again whole, and the text over it.
            in.ring(5).Peg = in.ring(5).Peg == 1 ? 3 : 1;
        }
        const qint64 shown = view->picture().cacheKey();
        game.Refresh();
        // The copy onto the screen is part of the frame, when there is a new one to show.
        if (view->picture().cacheKey() != shown)
            view->render(&screen, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    state.SetLabel(s.name);
}

// The first frames of first_text, painted plainly: the font made, the board, the
// text painted over it by the painter, and the copy onto the screen.
void firstTextPlain(benchmark::State &state, const Size &s)
{
    Game &game = gameFor(s);
    GameInspector in(game);
    setUp(game, Case::Board);
    game.Refresh();
    const QImage board = in.view()->picture().copy();
    QImage &screen = screenFor(s);
    bool other = false;
    for (auto _ : state) {
        other = !other;
        const QStringList lines = other ? QStringList{"You did it in 155!", "Ingenious"}
                                        : QStringList{"You did it in 157:", "Excellent"};
        LogFont description;
        std::strcpy(description.faceName.data(), "Courier New");
        description.height = -qRound(s.h * 75 / 100.0 / 2);
        description.width = qRound(s.w * 75 / 100.0 / 18);
        const TextFont font(description);
        const QSize block = font.measure(lines);
        QImage frameImage = board.copy();
        QPainter p(&frameImage);
        p.setRenderHint(QPainter::Antialiasing, true);
        font.drawCentered(p, QRect(QPoint((s.w - block.width()) / 2, (s.h - block.height()) / 2), block), lines,
                          0x3080C0);
        p.end();
        QPainter onScreen(&screen);
        onScreen.drawImage(QPoint(0, 0), frameImage);
        onScreen.end();
        benchmark::DoNotOptimize(screen.constBits());
    }
    state.SetLabel(s.name);
}

void floorOf(benchmark::State &state, const Size &s)
{
    // Kept across runs like the game's own picture, which is drawn again in place.
    static std::map<int, QImage> frames;
    QImage &frameImage = frames[s.w];
    if (frameImage.isNull()) {
        frameImage = QImage(s.w, s.h, QImage::Format_RGB32);
        frameImage.fill(Qt::black);
    }
    QImage &screen = screenFor(s);
    for (auto _ : state) {
        frameImage.fill(Qt::white);
        // Copied the way the view copies its picture onto the screen.
        QPainter p(&screen);
        p.drawImage(QPoint(0, 0), frameImage);
        p.end();
        benchmark::DoNotOptimize(screen.constBits());
        benchmark::ClobberMemory();
    }
    state.SetLabel(s.name);
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::pair<Case, const char *> cases[] = {{Case::Board, "board"},
                                                   {Case::Drag, "drag"},
                                                   {Case::Message, "message"},
                                                   {Case::Closing, "closing"},
                                                   {Case::BoardIdle, "board_unchanged"},
                                                   {Case::FirstText, "first_text"},
                                                   {Case::FirstTextPlain, "first_text_plain"},
                                                   {Case::MessageWhole, "message_whole"},
                                                   {Case::ClosingWhole, "closing_whole"}};
    for (const Size &s : kSizes) {
        benchmark::RegisterBenchmark((std::string("floor/") + s.name).c_str(),
                                     [&s](benchmark::State &st) { floorOf(st, s); })
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(0.2);
        for (const auto &[c, name] : cases) {
            auto *b = benchmark::RegisterBenchmark((std::string(name) + "/" + s.name).c_str(),
                                                   [&s, c = c](benchmark::State &st) {
                                                       c == Case::FirstTextPlain ? firstTextPlain(st, s)
                                                                                 : frame(st, s, c);
                                                   });
            b->Unit(benchmark::kMicrosecond);
            // An unchanged frame costs next to nothing: a fixed count, not a time.
            if (c == Case::BoardIdle)
                b->Iterations(20000);
            else if (c == Case::FirstText || c == Case::FirstTextPlain)
                b->MinTime(0.5);
            else
                b->MinTime(0.2);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    games.clear(); // while the application still exists
    return 0;
}
