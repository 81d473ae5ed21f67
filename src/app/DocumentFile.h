#pragma once
// What a document window knows about its file beyond the name: the form the
// file keeps its text in (line breaks, UTF-8 or a single-byte page), the
// file's identity when the window last read or wrote it, and what the file
// held then, so that a save can tell which characters the user brought in.
#include "codepage/CodePageLetters.h"
#include "codepage/TextForm.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct stat;

namespace lorvane {

struct TDocumentForm {
    TBreakStyle breaks = TBreakStyle::CRLF;
    bool utf8 = false;
    bool mark = false; // the UTF-8 byte-order mark
    // The page the window's bytes are in for a UTF-8 file: Windows-1251, or
    // code page 866 when the "Terminal" font (which shows that page) was on.
    cp::CodePage page = cp::CodePage::Win1251;
    // A UTF-8 text with characters the page lacks: shown with '?' in their
    // place, so it may never be written anywhere.
    bool viewOnly = false;
    // A UTF-8 text with characters the page lacks, opened as its bytes at
    // the user's word (`utf8` is off then).
    bool bytesKept = false;
};

// The identity of a file: where it is (device, inode), its size and its
// modification time. A file written by another program differs in one of
// them; one replaced by rename, in the inode at least.
struct TFileStamp {
    bool exists = false;
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = 0, modifiedNs = 0;
    friend bool operator==(const TFileStamp&, const TFileStamp&) = default;
};
TFileStamp StampOf(const std::string& path) noexcept;
// The stamp of a file already opened (from fstat).
TFileStamp StampOf(const struct ::stat& st) noexcept;

// How a window is to show a file it loads.
enum class TModeChoice : std::uint8_t { Plain, Dos, Koi8, Guess };

// The answer to the question a UTF-8 text with characters the page lacks
// raises. A file read again as a window already shows it (a second window,
// a reload, the source after a compile and its listing) takes that
// window's answer instead of asking once more.
enum class TUtf8Answer : std::uint8_t { Ask, ViewOnly, AsBytes };
TUtf8Answer AnswerOf(const TDocumentForm& form) noexcept;

struct TDocumentFile {
    TDocumentForm form;
    std::string path; // the file last read or written; empty: none yet
    TFileStamp known; // its state then
    // A change on disk the user chose to leave alone when the window was
    // activated: not asked about again (a save still asks).
    std::optional<TFileStamp> dismissed;
    // How often each byte occurred in what was last read or written, as the
    // file's single-byte page has it: a save asks only about characters
    // that are not the file's own.
    TByteCounts counts{};
    bool checkDisk = false; // set by activation, answered at the next idle pass
};

// The bytes a window's text becomes in its file: the display mode's
// exchange undone (DOS and KOI8 windows), before any UTF-8 encoding.
std::string SingleByteForm(std::string text, bool dos, bool koi8);
// The single-byte form as the file holds it; `progress` as for EncodeUtf8Text.
std::string FileBytes(std::string singleBytes, const TDocumentForm& form,
                      const std::function<void(int)>& progress = nullptr);

// A character of the single-byte form that its file would not show as the
// window does: the first whose byte occurs more often (`now`, the counts of
// `singleBytes`) than in what the file held (`before`).
struct TLostCharacter {
    bool found = false;
    std::int64_t line = 0;
    char32_t shown = 0;   // in the window
    char32_t written = 0; // in the file (0xFFFD: nothing)
};
TLostCharacter FindLostCharacter(std::string_view singleBytes, const TByteCounts& now,
                                 const TDocumentForm& form, bool dos, bool koi8,
                                 const TByteCounts& before);
// What a character the window shows becomes in the file; false where it
// stays itself (the paste check's question).
bool ChangesInFile(unsigned char windowByte, const TDocumentForm& form, bool dos, bool koi8,
                   char32_t& written);

// "1251", "DOS 866", "KOI8-R", "UTF-8", "UTF-8 BOM": what the status bar shows.
std::string CodingName(const TDocumentForm& form, bool dos, bool koi8);

} // namespace lorvane
