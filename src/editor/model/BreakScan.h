#pragma once
// Finding the paragraph ends of loaded text, split over several threads.
// A break is CR, LF, or one of the pairs CR LF and LF CR; a run of break
// bytes is read from its left end, so a part never begins right after a
// break byte, and the parts' results joined in order are what one pass
// over the whole text gives.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace lorvane {

// A load reads its text in blocks of this size, scans each on all threads
// and keeps the paragraphs where they were read.
constexpr std::int64_t kLoadBlockBytes = std::int64_t{8} << 20;

struct BreakMark {
    std::uint32_t end;  // the paragraph's bytes end here (the break byte)
    std::uint32_t next; // the next paragraph begins here
    std::uint8_t style; // static-style bits toggled from the part's start up to `end`
};

struct BreakPart {
    std::vector<BreakMark> marks;
    std::uint8_t style = 0; // style bits toggled over the whole part
    char pending = 0;       // the part ends in this break byte, whose partner may follow
};

// Scans data[from, to) (a part that does not begin inside a run of break
// bytes). With `codes`, the static format codes toggle the style bits.
void ScanBreaks(const char* data, std::size_t from, std::size_t to, bool codes, BreakPart& out);

// The same over up to `parts` parts scanned at once (fewer for a short
// text, at least one). The text scanned holds no zero byte.
// Parts are at least `minPartBytes` long.
std::vector<BreakPart> ScanBreaksParallel(const char* data, std::size_t from, std::size_t to,
                                          bool codes, int parts,
                                          std::size_t minPartBytes = std::size_t{256} << 10);

// Threads worth using for the load's bulk work on this machine.
int LoadThreads() noexcept;

// Runs part(0) .. part(count - 1) at once: part 0 on the calling thread, the
// others on threads of their own, joined before it returns. A part whose
// thread cannot be started runs on the calling thread instead.
void RunParts(std::size_t count, const std::function<void(std::size_t)>& part);

} // namespace lorvane
