#pragma once
// The fixed texts of the errors the editor raises; callers and tests compare
// against these, so they live in one place.
#include <climits>
#include <cstdint>

namespace lorvane::texts {
// The longest text the model holds ("Text too long" beyond it): positions
// are 32-bit and a final line break must still fit.
inline constexpr std::int64_t kMaxTextLength = INT32_MAX - 2;

extern const char* const kListIndexOutOfBounds; // "List index out of bounds"
extern const char* const kInternalError;        // "Internal DudoDaze error"
extern const char* const kTextTooLong;          // "Text too long"
} // namespace lorvane::texts
