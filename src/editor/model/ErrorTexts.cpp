#include "editor/model/ErrorTexts.h"

namespace lorvane::texts {
const char* const kListIndexOutOfBounds = "List index out of bounds";
const char* const kInternalError = "Internal DudoDaze error";
const char* const kTextTooLong = "Text too long";
} // namespace lorvane::texts
