// SPDX-License-Identifier: MIT
// Fuzz target for the text paths: the cleaning of overlay texts, and the array
// slice and renumbering. The first byte picks the
// path; the rest is its input. Any crash, sanitizer report or broken promise fails.
// Built without libFuzzer, it replays the files of a corpus folder instead.
#include "app/slicearray.h"
#include "support/apperror.h"
#include "support/supportlibrary.h"
#include "ui/textclean.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {
void require(bool ok)
{
    if (!ok)
        std::abort();
}

std::int32_t errorOf(const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const AppError &e) {
        return e.number();
    }
    return 0;
}

void fuzzCleaning(const QString &raw)
{
    const QString clean = CleanOverlayText(raw);
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const char16_t c = clean.at(i).unicode();
        if (c == u'\r')
            require(clean.mid(i + 1, 1) == QLatin1String("\n"));
        else if (c == u'\n')
            require(i > 0 && clean.at(i - 1) == u'\r');
        else
            require(c >= 32 && c <= 126);
    }
    require(clean.size() <= raw.size() && CleanOverlayText(clean) == clean);
}

void fuzzSlice(const std::uint8_t *data, std::size_t size)
{
    std::int32_t bounds[3] = {}; // lower, start, count
    std::memcpy(bounds, data, std::min(size, sizeof bounds));
    const std::int32_t lower = bounds[0], start = bounds[1], count = bounds[2];
    std::vector<Value> items;
    for (std::size_t i = sizeof bounds; i < size && items.size() < 64; ++i)
        items.emplace_back(data[i]);
    if (std::int64_t{lower} + std::int64_t(items.size()) - 1 > INT32_MAX)
        return; // no such array can exist
    const ValueArray values(ElementKind::Byte, lower, std::move(items));
    const std::int64_t last = std::int64_t{start} + count - 1;
    // Renumbered from start: allowed while the last index still fits.
    const bool fits = values.isEmpty() || std::int64_t{start} + values.size() - 1 <= INT32_MAX;
    require(errorOf([&] {
                const ValueArray r = SupportLibrary::instance().RebaseArray(values, start).array();
                require(r.items() == values.items() && (values.isEmpty() || r.lower() == start));
            }) == (fits ? 0 : kErrSubscriptOutOfRange));
    require(errorOf([&] { SliceArray(Value(start), start, count); }) == kErrBadArrayArgument); // not an array
    const bool inBounds = count >= 0 && (count == 0 || values.isEmpty() || (start >= values.lower() && last <= values.upper()));
    require(errorOf([&] {
                const ValueArray out = SliceArray(Value(values), start, count).array();
                require(out.kind() == ElementKind::Byte);
                require(count == 0 || values.isEmpty() ? out.isEmpty() : out.lower() == start && out.size() == count);
                for (std::int64_t i = start; !out.isEmpty() && i <= last; ++i)
                    require(out.at(std::int32_t(i)) == values.at(std::int32_t(i)));
            }) == (inBounds ? 0 : kErrBadArrayArgument));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (data[0] % 3 == 2)
        fuzzSlice(data + 1, size - 1);
    else
        fuzzCleaning(text);
    return 0;
}

#ifndef PEGMARCH_LIBFUZZER
int main(int argc, char **argv)
{
    for (const auto &entry : std::filesystem::directory_iterator(argc > 1 ? argv[1] : ".")) {
        std::fprintf(stderr, "%s\n", entry.path().c_str()); // the last one named is the one that failed
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    }
    return 0;
}
#endif
