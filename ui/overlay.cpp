// SPDX-License-Identifier: MIT
// The centred text overlay: the text, its font sized to the picture, and a
// colour that drifts a little on every frame.
#include "game/game.h"

#include "platform/picturebox.h"
#include "platform/random.h"
#include "platform/textlayer.h"
#include "support/rounding.h"
#include "support/supportlibrary.h"
#include "textclean.h"

#include <cstring>

namespace {
constexpr std::int32_t kFontWeight = 400;
const QString kLineBreak = QStringLiteral("\r\n");

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

void Game::DrawCentered()
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
        return;
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
            return;

        LogFont description;
        const Value face = lib.RebaseArray(lib.TextToBytes(QStringLiteral("Courier New") + QChar(0), 1), 1);
        const ValueArray &bytes = face.array();
        for (std::int32_t i = 1; i <= bytes.upper() && i <= 32; ++i)
            description.faceName[i - 1] = static_cast<char>(std::get<std::uint8_t>(bytes.at(i).data));
        description.height = -RoundEven(static_cast<double>(H * 75) / 100.0 / plngLineCount);
        description.width = RoundEven(static_cast<double>(W * 75) / 100.0 / plngLongestLine);
        description.weight = kFontWeight;
        plngOverlayFont = std::make_unique<TextFont>(description);
        m_overlayLines = lines.array().toTexts();
        m_overlayBlock = plngOverlayFont->measure(m_overlayLines);
    }
    if (plngLongestLine == 0 || !plngOverlayFont)
        return;

    stepOverlayColour();
    // The block centred in the picture, mixed in from its coverage.
    const std::int32_t w = m_overlayBlock.width();
    const std::int32_t h = m_overlayBlock.height();
    const std::int32_t left = RoundEven((W - w) / 2.0);
    const std::int32_t top = RoundEven((H - h) / 2.0);
    buf.Blend(plngOverlayFont->coverage(QRect(left, top, w, h), m_overlayLines, buf.devicePixelRatio()),
              plngOverlayColour);
}
