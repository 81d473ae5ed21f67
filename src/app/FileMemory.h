#pragma once
// What the program remembers of the files opened last: the display mode a
// file was shown in and where the caret stood, so both come back when the
// file is opened again. Kept in the registry under the program's key as one
// value (a few hundred files), newest first.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace lorvane {

struct TRememberedFile {
    char mode = 'W'; // 'W' plain, 'D' DOS, 'K' KOI8
    std::int32_t caret = 0;
    friend bool operator==(const TRememberedFile&, const TRememberedFile&) = default;
};

inline constexpr std::size_t kRememberedFiles = 300;

// Registry failures are swallowed: a memory that cannot be read or written
// is a memory that is empty.
std::optional<TRememberedFile> RecallFile(const std::string& path);
void RememberFile(const std::string& path, const TRememberedFile& state,
                  std::size_t capacity = kRememberedFiles);

} // namespace lorvane
