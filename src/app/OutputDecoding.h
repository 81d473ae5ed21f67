#pragma once
// The text of a tool's output, for the messages pane. Linux tools print
// UTF-8; DOS tools (and DOS programs' output) print code page 866.
#include <string>
#include <string_view>

namespace lorvane {

// Each lead byte followed by its continuation bytes; plain ASCII is
// well-formed too. Overlong forms and surrogates are not checked: a text
// holding them is taken as UTF-8 all the same.
bool IsWellFormedUtf8(std::string_view text) noexcept;

// One line of output as UTF-8: as it is when it is well-formed UTF-8; read
// as code page 866 when it is not and looks like DOS text (few of its
// bytes lie where 866 keeps rare signs but Windows-1251 keeps the common
// letters р..я); otherwise UTF-8 with each stray byte shown as U+FFFD.
std::string DecodeToolLine(std::string_view bytes);

} // namespace lorvane
