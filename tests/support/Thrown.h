#pragma once
// The exception of type E that a call throws, or nothing when it throws
// none: a test looks at the error's fields without a try block of its own.
#include <optional>

namespace lorvane::test {

template <typename E, typename Call> std::optional<E> Thrown(Call&& call) {
    try {
        call();
    } catch (const E& error) {
        return error;
    }
    return std::nullopt;
}

} // namespace lorvane::test
