// SPDX-License-Identifier: MIT
// The centred text overlay: the text, its font sized to the picture, and a
// colour that drifts a little on every frame.
#include "game/game.h"

#include "platform/coveragemask.h"
#include "platform/picturebox.h"
#include "platform/random.h"
#include "platform/textlayer.h"
#include "support/rounding.h"
#include "support/supportlibrary.h"
#include "textclean.h"

#include <QPainter>

#include <cstring>

namespace {
constexpr std::int32_t kFontWeight = 400;
const QString kLineBreak = QStringLiteral("\r\n");
// Glyphs this large (device pixels) and larger are drawn as outlines rather than
// from the toolkit's glyph cache: only then does sharing a text's words out
// between two threads cost less than painting it on one.
constexpr double kOutlineGlyphs = 64;

// A fresh random step from -64 to 64.
std::int32_t randomStep()
{
    return RoundEven(Random::Rnd() * 128.0f - 64.0f);
}

// One channel's move for this frame; a value leaving 0..255 bounces back.
std::int32_t stepChannel(std::int32_t value, std::int32_t &step)
{
    std::int32_t v = value + step;
    if (v < 0 || v > 255) {
        step = RoundEven(Random::Rnd() * static_cast<float>(-step) * 2.0f);
        if (std::abs(step) > 64)
            step = randomStep();
        SupportLibrary &lib = SupportLibrary::instance();
        std::array<Value, 2> low{Value(v + step), Value(std::int32_t{255})};
        std::array<Value, 2> high{Value(static_cast<std::int32_t>(lib.MinValue(low).number())),
                                  Value(std::int32_t{0})};
        v = static_cast<std::int32_t>(lib.MaxValue(high).number());
    }
    return v;
}
} // namespace

QString Game::DisplayCentered() const
{
    return pstrDisplayCentered;
}

void Game::SetDisplayCentered(const QString &NewValue)
{
    if (NewValue == pstrCenteredRaw)
        return;
    pstrCenteredRaw = NewValue;
    pstrDisplayCentered = CleanOverlayText(NewValue);
}

void Game::releaseOverlayFont()
{
    plngOverlayFont.reset();
}

void Game::stepOverlayColour()
{
    for (std::int32_t *step : {&plngStepRed, &plngStepGreen, &plngStepBlue})
        if (*step == 0)
            *step = randomStep();
    const std::int32_t red = stepChannel(plngOverlayColour & 0xFF, plngStepRed);
    const std::int32_t green = stepChannel((plngOverlayColour >> 8) & 0xFF, plngStepGreen);
    const std::int32_t blue = stepChannel((plngOverlayColour >> 16) & 0xFF, plngStepBlue);
    plngOverlayColour = static_cast<Colour>(red + 256 * green + 65536 * blue);
}

bool Game::prepareCentered()
{
    PictureBox &buf = *pobjPicBuffer;
    const std::int32_t W = RoundEven(buf.ScaleWidth());
    const std::int32_t H = RoundEven(buf.ScaleHeight());

    if (pstrDisplayCentered.isEmpty()) {
        if (plngOverlayFont) {
            releaseOverlayFont();
            pstrFontText.clear();
            plngLineCount = 0;
            plngLongestLine = 0;
        }
        return false;
    }

    SupportLibrary &lib = SupportLibrary::instance();
    if (pstrDisplayCentered != pstrFontText) {
        // A new text: split it, measure its lines and fit the font to them and to the
        // picture. Only a new text does: a text shown keeps its font when the window
        // is resized.
        plngLongestLine = 0;
        const Value lines = lib.RebaseArray(lib.SplitText(pstrDisplayCentered, kLineBreak), 1);
        std::int32_t option = 1;
        plngLineCount = lib.CountElements(lines.array(), option);
        option = 0;
        const std::int32_t count = lib.CountElements(lines.array(), option);
        for (std::int32_t i = 1; i <= count; ++i)
            plngLongestLine = std::max<std::int32_t>(plngLongestLine,
                                                     static_cast<std::int32_t>(lines.array().at(i).text().size()));
        pstrFontText = pstrDisplayCentered;
        releaseOverlayFont();
        if (plngLongestLine == 0)
            return false;

        LogFont description;
        const Value face = lib.RebaseArray(lib.TextToBytes(QStringLiteral("Courier New") + QChar(0), 1), 1);
        const ValueArray &bytes = face.array();
        for (std::int32_t i = 1; i <= bytes.upper() && i <= 32; ++i)
            description.faceName[i - 1] = static_cast<char>(std::get<std::uint8_t>(bytes.at(i).data));
        description.height = -RoundEven(static_cast<double>(H * 75) / 100.0 / plngLineCount);
        description.width = RoundEven(static_cast<double>(W * 75) / 100.0 / plngLongestLine);
        description.weight = kFontWeight;
        plngOverlayFont = std::make_unique<TextFont>(description);
        pstrOverlayLines = lines.array().toTexts();
        ptypOverlayBlock = plngOverlayFont->measure(pstrOverlayLines);
    }
    if (plngLongestLine == 0 || !plngOverlayFont)
        return false;

    stepOverlayColour();
    return true;
}

bool Game::paintCentered(bool recolour)
{
    PictureBox &buf = *pobjPicBuffer;
    const std::int32_t W = RoundEven(buf.ScaleWidth());
    const std::int32_t H = RoundEven(buf.ScaleHeight());
    const std::int32_t w = ptypOverlayBlock.width();
    const std::int32_t h = ptypOverlayBlock.height();
    const std::int32_t left = RoundEven((W - w) / 2.0);
    const std::int32_t top = RoundEven((H - h) / 2.0);
    const QRect place(left, top, w, h);
    if (PictureBox::caching()) {
        QPoint origin;
        const CoverageMask *mask =
            plngOverlayFont->centeredMask(place, pstrOverlayLines, buf.devicePixelRatio(), origin);
        if (recolour && (!mask || pvecUnderText.size() != mask->storeSize()))
            return false; // not what was kept: the whole frame is drawn instead
        if (mask) {
            buf.Blend(*mask, origin, plngOverlayColour, !recolour, pvecUnderText);
            return true;
        }
        // Still being rasterised: painted meanwhile. A large text is painted word
        // by word on two threads at once, each word clipped to pixels no other
        // word's ink reaches, so that the picture is the same as painted at one go.
        const TextFont &font = *plngOverlayFont;
        const double ratio = buf.devicePixelRatio();
        const std::vector<TextFont::Word> words = font.font().pixelSize() * ratio >= kOutlineGlyphs
                                                      ? font.words(place, pstrOverlayLines, ratio)
                                                      : std::vector<TextFont::Word>();
        if (words.size() > 1) {
            std::vector<QRect> pixels;
            for (const TextFont::Word &word : words)
                pixels.push_back(word.pixels);
            TextFont::Elsewhere secondThread(font, pstrOverlayLines);
            const Colour colour = plngOverlayColour;
            buf.paintInPieces(pixels, [&](QPainter &painter, std::size_t k, bool second) {
                if (second)
                    secondThread.drawWord(painter, place, colour, words[k]);
                else
                    font.drawWord(painter, place, pstrOverlayLines, colour, words[k]);
            });
            return true;
        }
    }
    if (QPainter *painter = buf.beginPaint())
        plngOverlayFont->drawCentered(*painter, place, pstrOverlayLines, plngOverlayColour);
    return true;
}
