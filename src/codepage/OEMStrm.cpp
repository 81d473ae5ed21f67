#include "codepage/OEMStrm.h"

#include "platform/CodePageTables.h"

namespace lorvane {

// Both streams convert only the bytes the string stream actually delivered:
// the caller's buffer past them is not ours to change.

std::int64_t TWDOSStream::Read(void* buffer, std::int64_t count) {
    const std::int64_t n = TStringStream::Read(buffer, count);
    if (n > 0) {
        const unsigned char* table = cp::Win1251ToCp866Table();
        auto* p = static_cast<unsigned char*>(buffer);
        for (std::int64_t i = 0; i < n; ++i)
            p[i] = table[p[i]];
    }
    return n;
}

std::int64_t TWKOI8Stream::Read(void* buffer, std::int64_t count) {
    const std::int64_t n = TStringStream::Read(buffer, count);
    if (n > 0) {
        // WinKoiTable widened to all 256 bytes (ASCII maps to itself), so the
        // loop has no branch on the byte.
        static const std::array<unsigned char, 256> table = [] {
            std::array<unsigned char, 256> t{};
            for (int b = 0; b < 256; ++b)
                t[b] = b < 0x80 ? static_cast<unsigned char>(b) : WinKoiTable[b - 0x80];
            return t;
        }();
        auto* p = static_cast<unsigned char*>(buffer);
        for (std::int64_t i = 0; i < n; ++i)
            p[i] = table[p[i]];
    }
    return n;
}

} // namespace lorvane
