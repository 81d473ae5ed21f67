#include "editor/model/BreakScan.h"

#include "editor/model/TextRecords.h"

#include <algorithm>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lorvane {

namespace {

bool IsBreak(char c) noexcept {
    return c == '\r' || c == '\n';
}

} // namespace

void ScanBreaks(const char* data, std::size_t from, std::size_t to, bool codes, BreakPart& out) {
    std::uint8_t style = 0;
    std::size_t i = from;
    out.marks.reserve(out.marks.size() + (to - from) / 32);
    // Every byte of interest is a control code below 32: blocks of 16 bytes
    // without one are passed over whole.
    auto handle = [&](std::size_t at) {
        const char c = data[at];
        if (IsBreak(c)) {
            std::size_t next = at + 1;
            if (next < to && IsBreak(data[next]) && data[next] != c) ++next;
            out.marks.push_back(
                BreakMark{static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(next), style});
            out.pending = next == to && next == at + 1 ? c : 0;
            return next;
        }
        if (codes) style ^= StyleBitOfCode(static_cast<unsigned char>(c));
        return at + 1;
    };
    std::size_t resume = i; // bytes before this one are consumed
#if defined(__SSE2__)
    const __m128i limit = _mm_set1_epi8(31);
    for (; i + 16 <= to; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        auto mask =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(v, limit), v)));
        while (mask) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
            mask &= mask - 1;
            if (at >= resume) resume = handle(at);
        }
    }
#endif
    for (i = std::max(i, resume); i < to;)
        i = static_cast<unsigned char>(data[i]) < 32 ? handle(i) : i + 1;
    out.style = style;
}

std::vector<BreakPart> ScanBreaksParallel(const char* data, std::size_t from, std::size_t to,
                                          bool codes, int parts, std::size_t minPartBytes) {
    const std::size_t bytes = to - from;
    const auto most = static_cast<std::size_t>(std::max(1, parts));
    const std::size_t n =
        std::clamp<std::size_t>(bytes / std::max<std::size_t>(minPartBytes, 1), 1, most);
    // Cut points moved forward past any break bytes, so that no run is
    // split; a part that comes out empty is dropped.
    std::vector<std::size_t> cuts{from};
    for (std::size_t k = 1; k < n; ++k) {
        std::size_t at = from + bytes * k / n;
        while (at < to && IsBreak(data[at - 1]))
            ++at;
        if (at > cuts.back() && at < to) cuts.push_back(at);
    }
    cuts.push_back(to);
    const std::size_t used = cuts.size() - 1;
    std::vector<BreakPart> out(used);
    RunParts(used, [&](std::size_t k) { ScanBreaks(data, cuts[k], cuts[k + 1], codes, out[k]); });
    return out;
}

void RunParts(std::size_t count, const std::function<void(std::size_t)>& part) {
    std::vector<std::thread> helpers;
    for (std::size_t k = 1; k < count; ++k) {
        try {
            helpers.emplace_back(part, k);
        } catch (const std::system_error&) {
            part(k); // no thread to be had: this one does the part
        }
    }
    if (count > 0) part(0);
    for (std::thread& t : helpers)
        t.join();
}

int LoadThreads() noexcept {
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

} // namespace lorvane
