// SPDX-License-Identifier: MIT
// Random play: a seeded stream of everything a player, the window and the clock can
// do to a Game, with the game's invariants checked after every step. On a failure
// it prints the seed and the shortest list of steps that still fails.
//
//   tst_randomplay [--ops N] [--seed S] [Qt Test options]
#include "platform/picturebox.h"
#include "platform/pictureview.h"
#include "testsupport.h"
#include "ui/frmmain.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <string>

namespace {
std::uint64_t g_ops = 200000;
std::uint64_t g_seed = 20261206;

enum class Kind { Move, Press, Drag, Release, New, Abort, Info, Resize, Minimise, Restore, Tick, Centered, Message, Corrupt };

struct Op
{
    Kind kind;
    int a = 0, b = 0, c = 0; // ring/peg, position, button or size
    std::uint32_t clock = 0;
    QString text;
};

QString describe(const Op &op)
{
    static const char *names[] = {"MoveRing", "press",  "drag",    "release", "New",   "Abort",         "Info",
                                  "resize",   "minimise", "restore", "tick",  "DisplayCentered", "ShortMessage", "corrupt"};
    QString s = QString::fromLatin1(names[int(op.kind)]);
    switch (op.kind) {
    case Kind::Move: return s + QStringLiteral("(%1, %2)").arg(op.a).arg(op.b);
    case Kind::Press:
    case Kind::Release: return s + QStringLiteral(" button %1 at (%2, %3)").arg(op.c).arg(op.a).arg(op.b);
    case Kind::Drag: return s + QStringLiteral(" to (%1, %2)").arg(op.a).arg(op.b);
    case Kind::Resize: return s + QStringLiteral(" to %1 x %2").arg(op.a).arg(op.b);
    case Kind::Tick: return s + QStringLiteral(" at clock %1").arg(op.clock);
    case Kind::Centered:
    case Kind::Message: {
        QString bytes;
        for (QChar ch : op.text)
            bytes += QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QLatin1Char('0'));
        return s + QStringLiteral(" \"%1\"").arg(bytes);
    }
    default: return s;
    }
}

Qt::MouseButton buttonOf(int code)
{
    switch (code) {
    case 0: return Qt::LeftButton;
    case 1: return Qt::RightButton;
    case 2: return Qt::MiddleButton;
    default: return Qt::BackButton;
    }
}

class Generator
{
public:
    explicit Generator(std::uint64_t seed) : m_rng(seed) {}

    Op next()
    {
        Op op;
        const int roll = pick(0, 999);
        // Mostly moves and drags, as a player makes them; the rest spread over everything else.
        if (roll < 250) {
            op.kind = Kind::Move;
            op.a = pick(-1, 8);
            op.b = pick(-1, 8);
        } else if (roll < 370) {
            op.kind = Kind::Press;
            position(op);
        } else if (roll < 560) {
            op.kind = Kind::Drag;
            position(op);
        } else if (roll < 680) {
            op.kind = Kind::Release;
            position(op);
        } else if (roll < 700) {
            op.kind = Kind::New;
        } else if (roll < 715) {
            op.kind = Kind::Abort;
        } else if (roll < 720) {
            op.kind = Kind::Info;
        } else if (roll < 735) {
            op.kind = Kind::Resize;
            // Mostly ordinary windows; now and then a tiny or a huge one.
            const int r = pick(0, 99);
            if (r < 10) {
                op.a = pick(0, 30);
                op.b = pick(0, 30);
            } else if (r < 11) {
                op.a = pick(2000, 4000);
                op.b = pick(1500, 3000);
            } else {
                op.a = pick(100, 900);
                op.b = pick(80, 700);
            }
        } else if (roll < 740) {
            op.kind = Kind::Minimise;
        } else if (roll < 747) {
            op.kind = Kind::Restore;
        } else if (roll < 940) {
            op.kind = Kind::Tick;
            const int r = pick(0, 99);
            m_clock = r < 2 ? 0xFFFFFFFFu - std::uint32_t(pick(0, 3000)) // just before the wrap
                    : r < 3 ? std::uint32_t(pick(0, 1 << 30)) * 4u             // anywhere, even backwards
                            : m_clock + std::uint32_t(pick(0, 2000));
            op.clock = m_clock;
        } else if (roll < 970) {
            op.kind = Kind::Centered;
            op.text = bytes();
        } else {
            op.kind = Kind::Message;
            op.text = bytes();
        }
        return op;
    }

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    void position(Op &op)
    {
        op.a = pick(-100, 1000);
        op.b = pick(-100, 800);
        op.c = pick(0, 9) < 7 ? 0 : pick(1, 3);
    }
    QString bytes()
    {
        QString s;
        const int n = pick(0, 3) == 0 ? 0 : pick(1, 40);
        for (int i = 0; i < n; ++i) {
            const int r = pick(0, 9);
            s += QChar(r < 2 ? u'\r' : r < 4 ? u'\n' : char16_t(pick(0, 255)));
        }
        return s;
    }

    std::mt19937_64 m_rng;
    std::uint32_t m_clock = 1000;
};

// Plays steps on a fresh Game and checks the invariants after each.
class Player
{
public:
    Player()
        : m_clockSource(), m_boxes(), m_game(std::make_unique<Game>()), m_in(*m_game)
    {
        m_in.timer()->stop();
        // The same colours every replay.
        Random::setSource([this] { return float(m_colours() >> 8) * (1.0f / 16777216.0f); });
        SupportLibrary::instance().setInfoDialogHook({});
    }
    ~Player()
    {
        Random::setSource({});
        m_game.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Runs one step; returns a description of the broken invariant, or nothing.
    std::optional<QString> step(const Op &op)
    {
        const std::int32_t movesBefore = m_game->moveCount();
        std::array<std::int32_t, 6> pegsBefore{};
        for (int r = 1; r <= 5; ++r)
            pegsBefore[r] = m_game->rings()[r].Peg;
        bool mayMove = false, mayReset = false;
        try {
            switch (op.kind) {
            case Kind::Move:
                m_game->MoveRing(op.a, op.b);
                mayMove = true;
                break;
            case Kind::Press:
                QTest::mousePress(m_in.view(), buttonOf(op.c), {}, QPoint(op.a, op.b));
                break;
            case Kind::Drag:
                QTest::mouseMove(m_in.view(), QPoint(op.a, op.b));
                break;
            case Kind::Release:
                QTest::mouseRelease(m_in.view(), buttonOf(op.c), {}, QPoint(op.a, op.b));
                mayMove = true;
                break;
            case Kind::New:
                m_in.newAction()->trigger();
                mayReset = true;
                break;
            case Kind::Abort:
                m_in.abortAction()->trigger();
                break;
            case Kind::Info:
                // The real dialog, closed as soon as it is up.
                QTimer::singleShot(0, [] {
                    if (QWidget *w = QApplication::activeModalWidget())
                        w->close();
                });
                m_in.infoAction()->trigger();
                break;
            case Kind::Resize: {
                frmMain *f = m_in.form();
                f->setMinimumSize(0, 0);
                f->centralWidget()->setMinimumSize(0, 0);
                f->resize(op.a, op.b);
                break;
            }
            case Kind::Minimise:
                m_in.form()->setWindowState(Qt::WindowMinimized);
                break;
            case Kind::Restore:
                m_in.form()->setWindowState(Qt::WindowNoState);
                break;
            case Kind::Tick:
                m_clockSource.now = op.clock;
                m_game->Refresh();
                break;
            case Kind::Centered:
                m_game->SetDisplayCentered(op.text);
                break;
            case Kind::Message:
                m_game->SetShortMessage(op.text);
                break;
            case Kind::Corrupt: // only the shrinker's own test makes this step
                m_in.ring(op.a).Peg = op.b;
                break;
            }
            QCoreApplication::processEvents();
        } catch (const std::exception &e) {
            return QStringLiteral("threw: %1").arg(QString::fromLocal8Bit(e.what()));
        }

        const Game &g = *m_game;
        const std::int32_t stage = g.stage();
        for (int r = 1; r <= 5; ++r)
            if (g.rings()[r].Peg < 1 || g.rings()[r].Peg > 6)
                return QStringLiteral("ring %1 on peg %2").arg(r).arg(g.rings()[r].Peg);
        if (stage < 1 || stage > 7)
            return QStringLiteral("stage %1").arg(stage);
        if (g.running()) {
            static const QList<int> triangles[] = {{}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {3, 4, 5}, {3, 4, 5}, {5, 6, 1}, {5, 6, 1}};
            for (int r = 1; r <= 5; ++r)
                if (!triangles[stage].contains(g.rings()[r].Peg))
                    return QStringLiteral("ring %1 on peg %2 outside the triangle of stage %3")
                        .arg(r).arg(g.rings()[r].Peg).arg(stage);
        }
        if (m_in.abortAction()->isEnabled() != g.running())
            return QStringLiteral("Abort enabled %1 while running %2").arg(m_in.abortAction()->isEnabled()).arg(g.running());
        if (g.GameOver() != (g.State() == 1))
            return QStringLiteral("GameOver %1 with State %2").arg(g.GameOver()).arg(g.State());
        int moved = 0;
        for (int r = 1; r <= 5; ++r)
            moved += g.rings()[r].Peg != pegsBefore[r];
        const std::int32_t moves = g.moveCount();
        const bool accepted = mayMove && moved == 1 && moves == movesBefore + 1;
        const bool unchanged = moves == movesBefore && (moved == 0 || (mayReset && moves == 0));
        const bool reset = mayReset && moves == 0;
        if (!accepted && !unchanged && !reset)
            return QStringLiteral("move count %1 -> %2 with %3 rings moved").arg(movesBefore).arg(moves).arg(moved);
        if (g.dragRing() < 0 || g.dragRing() > 5)
            return QStringLiteral("dragging ring %1").arg(g.dragRing());
        return std::nullopt;
    }

private:
    FakeClock m_clockSource;
    BoxRecorder m_boxes;
    std::mt19937 m_colours;
    std::unique_ptr<Game> m_game;
    GameInspector m_in;
};

// Plays the steps on a fresh game; the index of the first failing step, or -1.
qsizetype firstFailure(const std::vector<Op> &ops, QString *why = nullptr)
{
    Player player;
    for (std::size_t i = 0; i < ops.size(); ++i)
        if (auto broken = player.step(ops[i])) {
            if (why)
                *why = *broken;
            return qsizetype(i);
        }
    return -1;
}

// The shortest list found that still fails: drop chunks, halving their size.
std::vector<Op> shrink(std::vector<Op> ops)
{
    for (std::size_t chunk = ops.size() / 2; chunk >= 1; chunk /= 2) {
        for (std::size_t start = 0; start < ops.size();) {
            std::vector<Op> candidate(ops.begin(), ops.begin() + std::ptrdiff_t(start));
            candidate.insert(candidate.end(), ops.begin() + std::ptrdiff_t(std::min(ops.size(), start + chunk)),
                             ops.end());
            const qsizetype at = candidate.empty() ? -1 : firstFailure(candidate);
            if (at >= 0)
                ops.assign(candidate.begin(), candidate.begin() + at + 1);
            else
                start += chunk;
        }
        if (chunk == 1)
            break;
    }
    return ops;
}
} // namespace

class TestRandomPlay : public QObject
{
    Q_OBJECT

private slots:
    void invariantsHoldThroughRandomPlay()
    {
        Generator gen(g_seed);
        std::vector<Op> ops;
        ops.reserve(std::size_t(std::min<std::uint64_t>(g_ops, 2000000)));
        Player player;
        QElapsedTimer timer;
        timer.start();
        for (std::uint64_t i = 0; i < g_ops; ++i) {
            ops.push_back(gen.next());
            if (auto broken = player.step(ops.back())) {
                std::fprintf(stderr, "random play failed at step %llu with seed %llu: %s\n",
                             static_cast<unsigned long long>(i), static_cast<unsigned long long>(g_seed),
                             qPrintable(*broken));
                const std::vector<Op> shortest = shrink(ops);
                QString why;
                firstFailure(shortest, &why);
                std::fprintf(stderr, "shortest failing list (%zu steps), ends with: %s\n", shortest.size(),
                             qPrintable(why));
                for (const Op &op : shortest)
                    std::fprintf(stderr, "  %s\n", qPrintable(describe(op)));
                QFAIL("an invariant broke; see the steps above");
            }
        }
        std::fprintf(stderr, "random play: %llu steps with seed %llu in %.1f s\n",
                     static_cast<unsigned long long>(g_ops), static_cast<unsigned long long>(g_seed),
                     timer.elapsed() / 1000.0);
    }

    void shrinkingFindsTheFailingStep()
    {
        // A long list whose only fault is one step that puts a ring off the board.
        Generator gen(7);
        std::vector<Op> ops;
        for (int i = 0; i < 400; ++i)
            ops.push_back(gen.next());
        QCOMPARE(firstFailure(ops), qsizetype(-1));
        Op bad;
        bad.kind = Kind::Corrupt;
        bad.a = 3;
        bad.b = 9;
        ops.insert(ops.begin() + 250, bad);
        QString why;
        QCOMPARE(firstFailure(ops, &why), qsizetype(250));
        QCOMPARE(why, QStringLiteral("ring 3 on peg 9"));
        const std::vector<Op> shortest = shrink(ops);
        QCOMPARE(shortest.size(), std::size_t(1));
        QCOMPARE(int(shortest.back().kind), int(Kind::Corrupt));
    }
};

int main(int argc, char **argv)
{
    // Our own arguments first; the rest go to Qt Test.
    std::vector<char *> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--ops" || arg == "--seed") && i + 1 < argc)
            (arg == "--ops" ? g_ops : g_seed) = std::stoull(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    // A long run outlasts Qt Test's five minutes per function; CTest keeps its own limit.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "86400000");
    QApplication app(restCount, rest.data());
    TestRandomPlay test;
    return QTest::qExec(&test, restCount, rest.data());
}
#include "tst_randomplay.moc"
