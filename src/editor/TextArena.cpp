#include "editor/TextArena.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <new>

namespace lorvane {

char* TTextArena::Allocate(std::size_t n) {
    if (n > kChunkBytes / 16) return nullptr;
    if (n > left_) {
        auto memory = std::unique_ptr<char[]>(new char[kChunkBytes]);
        current_ = memory.get();
        left_ = kChunkBytes;
        const auto at = std::lower_bound(
            chunks_.begin(), chunks_.end(), current_,
            [](const Chunk& c, const char* p) { return std::less<const char*>()(c.base, p); });
        chunks_.insert(at, Chunk{current_, std::move(memory)});
    }
    char* p = current_;
    current_ += n;
    left_ -= n;
    return p;
}

bool TTextArena::Owns(const char* p) const noexcept {
    if (!p || chunks_.empty()) return false;
    const std::less<const char*> less;
    auto it = std::upper_bound(chunks_.begin(), chunks_.end(), p,
                               [&](const char* q, const Chunk& c) { return less(q, c.base); });
    if (it == chunks_.begin()) return false;
    --it;
    return less(p, it->base + kChunkBytes);
}

void TTextArena::Clear() noexcept {
    chunks_.clear();
    current_ = nullptr;
    left_ = 0;
}

char* AllocateTextBuffer(std::size_t bytes) {
    auto* p = static_cast<char*>(std::malloc(bytes));
    if (!p) throw std::bad_alloc();
    return p;
}

std::size_t TextBufferCapacity(const char* buffer) noexcept {
    return buffer ? malloc_usable_size(const_cast<char*>(buffer)) : 0;
}

void FreeTextBuffer(TTextArena& arena, char* buffer) noexcept {
    if (buffer && !arena.Owns(buffer)) std::free(buffer);
}

} // namespace lorvane
