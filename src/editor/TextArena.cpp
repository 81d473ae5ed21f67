#include "editor/TextArena.h"

#include "editor/HugeMemory.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <new>

namespace lorvane {

char* TTextArena::Allocate(std::size_t n) {
    if (n > kSmallChunkBytes / 4) return nullptr;
    if (n > left_) {
        const bool huge = chunks_.size() >= kSmallChunks;
        const std::size_t size = huge ? kChunkBytes : kSmallChunkBytes;
        chunks_.reserve(chunks_.size() + 1);
        char* memory = huge ? static_cast<char*>(AllocateHugeRegion(size))
                            : static_cast<char*>(std::malloc(size));
        if (!memory) throw std::bad_alloc();
        current_ = memory;
        left_ = size;
        reserved_ += size;
        const auto at = std::lower_bound(
            chunks_.begin(), chunks_.end(), memory,
            [](const Chunk& c, const char* p) { return std::less<const char*>()(c.base, p); });
        chunks_.insert(at, Chunk{memory, size});
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
    return less(p, it->base + it->size);
}

void TTextArena::Clear() noexcept {
    for (const Chunk& c : chunks_) {
        if (c.size == kChunkBytes)
            FreeHugeRegion(c.base, c.size);
        else
            std::free(c.base);
    }
    chunks_.clear();
    current_ = nullptr;
    left_ = 0;
    reserved_ = 0;
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
