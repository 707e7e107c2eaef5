// SPDX-License-Identifier: MIT
// Array slice.
#include "slicearray.h"

#include "support/apperror.h"
#include "support/supportlibrary.h"

#include <vector>

Value SliceArray(const Value &Values, std::int32_t Start, std::int32_t Count)
{
    if (!Values.isArray() || Count < 0)
        throw AppError(kErrBadArrayArgument);
    const ValueArray &in = Values.array();
    if (SupportLibrary::instance().IsArrayEmpty(in) || Count == 0)
        return Value(ValueArray(in.kind()));
    // 64-bit so that Start + Count cannot overflow before it is compared.
    const std::int64_t last = static_cast<std::int64_t>(Start) + Count - 1;
    if (Start < in.lower() || last > in.upper())
        throw AppError(kErrBadArrayArgument);
    std::vector<Value> items;
    items.reserve(static_cast<std::size_t>(Count));
    for (std::int64_t i = Start; i <= last; ++i)
        items.push_back(in.at(static_cast<std::int32_t>(i)));
    return Value(ValueArray(in.kind(), Start, std::move(items)));
}
