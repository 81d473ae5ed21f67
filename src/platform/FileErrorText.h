#pragma once
// What the user reads when the system refuses a file operation: in Russian,
// naming the file and the system's reason.
#include <string>
#include <string_view>

namespace lorvane {

// The system's reason for an error number ("Нет такого файла или папки"
// for ENOENT); a number without a Russian text of its own gets the
// system's text and the number.
std::string SystemErrorText(int errorCode);

// "Не удалось <what> файл "<path>": <reason>", with `what` one of the
// operations the platform names ("open", "create", "read", "write",
// "close", "seek in", "stat", "flush", "print to"); another is shown as it
// is given.
std::string FileErrorText(std::string_view what, const std::string& path, int errorCode);
// The same sentence with a reason of the program's own.
std::string FileErrorText(std::string_view what, const std::string& path, std::string_view reason);

// Why a directory entry of the given st_mode cannot be taken for a text
// file ("это папка, а не файл", "это устройство, а не обычный файл", ...);
// empty for a regular file.
std::string NotRegularReason(unsigned mode);

} // namespace lorvane
