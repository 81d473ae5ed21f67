#pragma once
// The private-profile INI service the settings go through. Files are
// Windows-1251 text on disk; this interface takes and returns UTF-8.
//
// Reading follows the long-standing rules of such files: sections and keys
// match without regard to case (Windows-1251 letters included) and the
// first match wins; a line without "=" is a key with no value; a value
// loses its surrounding blanks and one pair of matching surrounding quotes;
// at most 1023 characters are returned. Reading never fails: a missing or
// unreadable file and a missing key give the default.
//
// Writing replaces the value of the first matching key (or adds the key at
// the end of the first matching section, or a new section at the end of
// the file) and keeps every other byte of the file as it was, line ends
// included. Every write replaces the whole file atomically; one the system
// refuses raises IoError naming the file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lorvane {

class ProfileFile {
public:
    // A bare name (no "/") resolves in the configuration directory.
    explicit ProfileFile(std::string_view fileName);

    const std::string& FileName() const noexcept { return path_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Decimal, "0x"/"0X" hexadecimal (when the text is longer than two
    // characters) or "$" hexadecimal; anything else gives the default.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // Raises Error for a section, key or value that the file could not hold
    // (an empty name, a line break, "]" in a section name, "=" in a key).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // The integer rule above, on its own; nothing when the text is not a
    // number in one of the three forms or does not fit 32 bits (hexadecimal
    // up to FFFFFFFF, taken as the 32-bit pattern).
    static std::optional<std::int32_t> ParseInteger(std::string_view text);

    static constexpr std::size_t kMaxStringLength = 1023;

private:
    std::string path_;
};

} // namespace lorvane
