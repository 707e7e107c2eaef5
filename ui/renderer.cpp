// SPDX-License-Identifier: MIT
// The board renderer: one whole frame into the buffer, then one copy onto the view.
#include "game/game.h"

#include "platform/picturebox.h"
#include "platform/pictureview.h"
#include "platform/textlayer.h"
#include "support/rounding.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {
constexpr Colour kBlack = 0x000000;
constexpr Colour kCyan = 0xFFFF00;
constexpr float kPegDotRadius = 5;
// Between a held ring's lowest point and the centre of the peg it is lifted above.
constexpr float kLiftGap = 7;
// Between the biggest ring's edge (ring 1's) and a peg's number, right of the peg: clear of
// every ring on the peg, whatever the stack, and of one lifted above it.
constexpr float kNumberGap = 6;

// The pegs' numbers: small, in a bold fixed-pitch face.
LogFont numberFont()
{
    LogFont font;
    font.height = -12;
    font.weight = 700;
    std::memcpy(font.faceName.data(), "Courier New", sizeof "Courier New");
    return font;
}

// k/12 of a whole size: the integer product first, then the division in double precision.
float twelfths(std::int32_t k, std::int32_t size)
{
    return static_cast<float>(static_cast<double>(k * size) / 12.0);
}

// Corners of the stage triangles in twelfths of the width and height: A, B, C.
struct TriangleTwelfths
{
    std::int32_t ax, ay, bx, by, cx, cy;
};
constexpr TriangleTwelfths kLeftTriangle{1, 11, 7, 11, 4, 5};   // pegs 1, 2, 3
constexpr TriangleTwelfths kRightTriangle{5, 11, 11, 11, 8, 5}; // pegs 3, 4, 5
constexpr TriangleTwelfths kTopTriangle{3, 7, 9, 7, 6, 1};      // pegs 5, 6, 1

const TriangleTwelfths *stageTriangle(std::int32_t stage)
{
    switch (stage) {
    case 1: case 2: case 3: return &kLeftTriangle;
    case 4: case 5: return &kRightTriangle;
    case 6: case 7: return &kTopTriangle;
    default: return nullptr;
    }
}
} // namespace

void Game::Refresh()
{
    PictureBox &buf = *pobjPicBuffer;
    // Draw at the screen's pixel density so edges stay sharp on high-DPI screens.
    buf.setDevicePixelRatio(pobjPicView->devicePixelRatioF());

    const std::int32_t W = RoundEven(buf.ScaleWidth());
    const std::int32_t H = RoundEven(buf.ScaleHeight());
    const Colour savedFore = buf.ForeColor;
    const std::int16_t savedStyle = buf.FillStyle;
    const Colour savedFill = buf.FillColor;

    buf.Cls();
    buf.ForeColor = kBlack;

    // Board outline: apex at the middle of the top edge, base along the bottom.
    const float apexX = static_cast<float>(static_cast<double>(W) / 2.0);
    buf.Line(apexX, 0, 0, H - 1);
    buf.Line(0, H - 1, W - 1, H - 1);
    buf.Line(W - 1, H - 1, apexX, 0);

    if (const TriangleTwelfths *t = stageTriangle(plngStage)) {
        const float ax = twelfths(t->ax, W), ay = twelfths(t->ay, H);
        const float bx = twelfths(t->bx, W), by = twelfths(t->by, H);
        const float cx = twelfths(t->cx, W), cy = twelfths(t->cy, H);
        buf.Line(ax, ay, bx, by);
        buf.Line(bx, by, cx, cy);
        buf.Line(cx, cy, ax, ay);
    }

    buf.FillStyle = 0;
    // A ring on a peg that does not exist stops the frame here: the picture is drawn
    // only when it is read, so the last frame stays on screen.
    auto pegCentre = [&](std::int32_t peg) {
        if (peg < 1 || peg > kPegs)
            throw std::out_of_range("no such peg");
        const PegPosition &pos = ptypPegs[peg];
        return std::pair<float, float>(static_cast<float>(static_cast<double>(pos.X) * W),
                                       static_cast<float>(static_cast<double>(pos.Y) * H));
    };

    // Biggest first, so a stack shows as concentric discs with the smallest on top.
    for (int i = 1; i <= kRings; ++i) {
        if (i == plngDragRing || i == m_keyRing)
            continue;
        const RingInfo &ring = ptypRings[i];
        buf.ForeColor = buf.FillColor = ring.Colour;
        const auto [x, y] = pegCentre(ring.Peg);
        buf.Circle(x, y, static_cast<float>(ring.Size));
    }

    const Colour pegColour = plngStage == 7 ? kCyan : kBlack;
    buf.ForeColor = buf.FillColor = pegColour;
    for (int p = 1; p <= kPegs; ++p) {
        if (p == plngStage)
            buf.ForeColor = buf.FillColor = kCyan;
        const auto [x, y] = pegCentre(p);
        buf.Circle(x, y, kPegDotRadius);
        if (p == plngStage)
            buf.ForeColor = buf.FillColor = kBlack;
    }
    // The board so far stays as it is until a ring leaves or reaches a peg; what follows moves over it.
    buf.endLayer();

    for (int p = 1; m_numbersShown && p <= kPegs; ++p) {
        if (!m_numberFonts[p]) {
            m_numberFonts[p] = std::make_unique<TextFont>(numberFont());
            m_numberTexts[p] = QStringList(QString::number(p));
            m_numberSize = m_numberFonts[p]->measure(m_numberTexts[p]);
        }
        const auto [x, y] = pegCentre(p);
        const QPoint at(RoundEven(x + ptypRings[1].Size + kNumberGap), RoundEven(y - m_numberSize.height() / 2.0));
        buf.Blend(m_numberFonts[p]->coverage(QRect(at, m_numberSize), m_numberTexts[p], buf.devicePixelRatio()), kBlack);
    }

    if (m_keyRing != 0) {
        // Lifted just clear of the peg it would be put on, kept whole on the board.
        const RingInfo &ring = ptypRings.at(m_keyRing);
        const auto [x, y] = pegCentre(m_keyPeg);
        const float size = static_cast<float>(ring.Size);
        buf.ForeColor = buf.FillColor = ring.Colour;
        buf.Circle(x, std::min(y, std::max(y - size - kLiftGap, size)), size);
    }

    if (plngDragRing != 0) {
        const RingInfo &ring = ptypRings.at(plngDragRing);
        buf.ForeColor = buf.FillColor = ring.Colour;
        buf.Circle(psngDragX, psngDragY, static_cast<float>(ring.Size));
    }

    buf.ForeColor = savedFore;
    buf.FillColor = savedFill;
    buf.FillStyle = savedStyle;

    // The message tick, then the text over the board.
    const QString shownText = pstrDisplayCentered;
    SetShortMessage(QString());
    // Handlers tell assistive tools of their own changes; a frame tells only of a
    // message the tick put up or took down, and builds no words otherwise.
    if (pstrDisplayCentered != shownText)
        announceBoard();
    DrawCentered();

    // Only what differs from the frame shown is copied; nothing when nothing does.
    const QImage &picture = buf.Image();
    pobjPicView->PaintPicture(picture, buf.changed());
}
