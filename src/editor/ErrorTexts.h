#pragma once
// The fixed texts of the errors the editor raises; callers and tests compare
// against these, so they live in one place.
namespace lorvane::texts {
extern const char* const kListIndexOutOfBounds; // "List index out of bounds"
extern const char* const kInternalError;        // "Internal DudoDaze error"
extern const char* const kTextTooLong;          // "Text too long"
} // namespace lorvane::texts
