#pragma once
// Places in a source named by the messages of compilers and assemblers, and
// the file such a name leads to. Plain C++: the messages pane and the
// listing windows use it, and it is tested without a window.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lorvane {

struct ErrorLocation {
    std::string file;        // as the tool wrote it
    std::int32_t line = 0;   // from 1
    std::int32_t column = 0; // from 1; 0 when the message gives none

    friend bool operator==(const ErrorLocation&, const ErrorLocation&) = default;
};

// The place a message line names, in the forms DOS and Unix tools print:
// FILE(LINE), FILE(LINE,COL) (each followed by the end, a blank or a
// colon), the same after a "**Error** "-style tag, FILE:LINE:,
// FILE:LINE:COL: and FILE:LINE.COL:. When a line holds both forms, the
// earlier wins.
std::optional<ErrorLocation> ParseErrorLocation(std::string_view text);

// The existing file a message's name stands for: an absolute name as it
// is, a relative one inside `baseDirectory`. A name with backslashes and no
// slash is a DOS name: a drive ("C:") is dropped, backslashes separate, and
// when that path is not found the bare name is looked for in the base
// directory (a DOS box mounts the source's directory as its drive). Where
// a part of the name does not exist as written, the one entry of its
// directory that matches without regard to case stands for it. Empty when
// nothing, or more than one file, matches.
std::string FindMessageFile(std::string_view name, const std::string& baseDirectory);

} // namespace lorvane
