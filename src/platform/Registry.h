#pragma once
// The per-user (and per-machine) registry: one text file per root in the
// configuration directory, HKEY_CURRENT_USER.reg and HKEY_LOCAL_MACHINE.reg,
// in the REGEDIT4 form, UTF-8. Key and value names compare without regard
// to case (ASCII and Cyrillic letters) and keep the spelling they were
// first written with.
//
// Every read sees the file as it is now: the parsed file is kept in memory
// and parsed again only when the file's identity, size or modification
// time changed, so a read of an unchanged file costs one stat(). Every
// change is a read-modify-write under an exclusive flock on a sibling
// ".lock" file, written through a temporary file and a rename. Two
// processes changing different values at the same moment therefore both
// get their change in, and a crash never leaves half a file. A file with
// lines that cannot be read keeps every key and value that can: the
// original is renamed aside to "<name>.corrupt" and the readable part
// takes its place; the program is told through TakeRegistrySetAsides().
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane {

enum class RootKey { CurrentUser, LocalMachine };

// Value types, numbered as in the hex(n) notation of the file.
enum class RegDataType : std::uint32_t {
    None = 0, // no such value
    String = 1,
    ExpandString = 2,
    Binary = 3,
    Integer = 4,
    // any other number is kept as it was read and reported as Unknown
    Unknown = 0xFFFFFFFF,
};

// A registry file that had unreadable lines: `file` now holds what could be
// read, `aside` the original as it was.
struct RegistrySetAside {
    std::string file;
    std::string aside;
};
// The files set aside since the last call, each reported once.
std::vector<RegistrySetAside> TakeRegistrySetAsides();

// A registry access object: a root and at most one open key. Key paths
// use "\" as separator; a path that starts with "\" is taken from the
// root, any other from the open key (or the root when none is open).
class TRegistry {
public:
    explicit TRegistry(RootKey root = RootKey::CurrentUser) : root_(root) {}

    RootKey GetRootKey() const noexcept { return root_; }
    // Changing the root closes the open key.
    void SetRootKey(RootKey root) noexcept;

    // Opens the key; a missing key is created when canCreate is set (with
    // any missing keys above it), otherwise false is returned and the
    // previously open key stays open. Creating may raise IoError.
    bool OpenKey(std::string_view key, bool canCreate);
    void CloseKey() noexcept;
    bool HasOpenKey() const noexcept { return open_; }
    // Full path of the open key below the root, without a leading "\".
    const std::string& CurrentPath() const noexcept { return currentPath_; }

    bool KeyExists(std::string_view key) const;
    // Deletes the key with all its values and subkeys; false when missing.
    // The root itself cannot be deleted.
    bool DeleteKey(std::string_view key);
    std::vector<std::string> GetKeyNames() const;
    bool HasSubKeys() const;

    // Values of the open key. With no key open there are no values, and
    // every write raises Error.
    bool ValueExists(std::string_view name) const;
    RegDataType GetDataType(std::string_view name) const;
    bool DeleteValue(std::string_view name);
    std::vector<std::string> GetValueNames() const;

    // A missing value reads as an empty string, as the recent-files list
    // and the hand-over value expect; a value of another type raises Error.
    std::string ReadString(std::string_view name) const;
    void WriteString(std::string_view name, std::string_view value);
    // Raises Error when the value is missing or not a 32-bit integer.
    std::int32_t ReadInteger(std::string_view name) const;
    void WriteInteger(std::string_view name, std::int32_t value);
    // Copies the binary value into buffer and returns its size. Raises
    // Error when it is missing, of another type or longer than bufferSize.
    std::size_t ReadBinaryData(std::string_view name, void* buffer, std::size_t bufferSize) const;
    std::vector<std::uint8_t> ReadBinaryData(std::string_view name) const;
    void WriteBinaryData(std::string_view name, const void* data, std::size_t size);

    // The file that holds this root, in the configuration directory.
    std::string FileName() const;

private:
    std::string Resolve(std::string_view key) const;
    void RequireOpenKey() const;

    RootKey root_;
    bool open_ = false;
    std::string currentPath_;
};

} // namespace lorvane
