// SPDX-License-Identifier: MIT
// Fuzz target for the text paths: the cleaning of overlay texts, splitting into
// lines, renumbering and counting, and the array slice. The first byte picks the
// path; the rest is its input. Any crash, sanitizer report or broken promise fails.
#include "app/slicearray.h"
#include "support/apperror.h"
#include "support/supportlibrary.h"
#include "ui/textclean.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
void require(bool ok)
{
    if (!ok)
        std::abort();
}

QString latin1(const std::uint8_t *data, std::size_t size)
{
    return QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

std::int32_t takeInt(const std::uint8_t *&data, std::size_t &size)
{
    std::int32_t v = 0;
    if (size >= 4) {
        std::memcpy(&v, data, 4);
        data += 4;
        size -= 4;
    }
    return v;
}

void fuzzCleaning(const std::uint8_t *data, std::size_t size)
{
    const QString raw = latin1(data, size);
    const QString clean = CleanOverlayText(raw);
    require(clean.size() <= raw.size());
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const char16_t c = clean.at(i).unicode();
        if (c == u'\r')
            require(i + 1 < clean.size() && clean.at(i + 1) == u'\n');
        else if (c == u'\n')
            require(i > 0 && clean.at(i - 1) == u'\r');
        else
            require(c >= 32 && c <= 126);
    }
    require(CleanOverlayText(clean) == clean); // cleaning twice changes nothing
}

void fuzzLines(const std::uint8_t *data, std::size_t size)
{
    SupportLibrary &lib = SupportLibrary::instance();
    const QString text = latin1(data, size);
    const ValueArray lines = lib.SplitText(text, QStringLiteral("\r\n"));
    const Value rebased = lib.RebaseArray(lines, 1);
    std::int32_t option = 0;
    const std::int32_t n = lib.CountElements(rebased.array(), option);
    require(n == lines.size() && n >= 1);
    require(rebased.array().lower() == 1 && rebased.array().upper() == n);
    require(rebased.array().toTexts().join(QStringLiteral("\r\n")) == text);
}

void fuzzSlice(const std::uint8_t *data, std::size_t size)
{
    const std::int32_t lower = takeInt(data, size);
    const std::int32_t start = takeInt(data, size);
    const std::int32_t count = takeInt(data, size);
    std::vector<Value> items;
    for (std::size_t i = 0; i < size && i < 64; ++i)
        items.emplace_back(static_cast<std::uint8_t>(data[i]));
    if (static_cast<std::int64_t>(lower) + static_cast<std::int64_t>(items.size()) - 1 > INT32_MAX)
        return; // no such array can exist
    const Value values(ValueArray(ElementKind::Byte, lower, std::move(items)));
    try {
        const Value slice = SliceArray(values, start, count);
        const ValueArray &out = slice.array();
        require(out.kind() == ElementKind::Byte);
        if (count == 0 || values.array().isEmpty()) {
            require(out.isEmpty());
        } else {
            require(out.lower() == start && out.size() == count);
            for (std::int64_t i = start; i < std::int64_t{start} + count; ++i)
                require(out.at(std::int32_t(i)) == values.array().at(std::int32_t(i)));
        }
    } catch (const AppError &e) {
        require(e.number() == kErrBadArrayArgument);
        const std::int64_t last = static_cast<std::int64_t>(start) + count - 1;
        require(count < 0 || start < values.array().lower() || last > values.array().upper());
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t which = data[0] % 3;
    ++data;
    --size;
    switch (which) {
    case 0: fuzzCleaning(data, size); break;
    case 1: fuzzLines(data, size); break;
    case 2: fuzzSlice(data, size); break;
    }
    return 0;
}
