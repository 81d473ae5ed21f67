#pragma once
// Errors the program raises. Fixed texts ("List index out of bounds",
// "Internal DudoDaze error", "Text too long", ...) travel as Error; failures
// of the file system carry the path and the errno of the failing step.
#include <stdexcept>
#include <string>

namespace lorvane {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file operation the system refused. errorCode() is the platform's error
// number (2 file not found, 13 access denied, 28 no space, ...).
class IoError : public Error {
public:
    IoError(const std::string& message, std::string path, int errorCode)
        : Error(message), path_(std::move(path)), errorCode_(errorCode) {}
    const std::string& path() const noexcept { return path_; }
    int errorCode() const noexcept { return errorCode_; }

    // "Не удалось <what> файл "<path>": <reason>" (FileErrorText) with the
    // errno of the moment.
    [[noreturn]] static void ThrowErrno(const std::string& what, const std::string& path);
    [[noreturn]] static void Throw(const std::string& what, const std::string& path, int errorCode);

private:
    std::string path_;
    int errorCode_;
};

} // namespace lorvane
