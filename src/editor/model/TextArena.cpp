#include "editor/model/TextArena.h"

#include "editor/model/HugeMemory.h"

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
        char* memory = huge ? static_cast<char*>(AllocateHugeRegion(size))
                            : static_cast<char*>(std::malloc(size));
        if (!memory) throw std::bad_alloc();
        AddChunk(memory, size, huge);
        current_ = memory;
        left_ = size;
    }
    char* p = current_;
    current_ += n;
    left_ -= n;
    return p;
}

void TTextArena::AddChunk(char* base, std::size_t size, bool mapped) {
    try {
        const auto at = std::lower_bound(
            chunks_.begin(), chunks_.end(), base,
            [](const Chunk& c, const char* p) { return std::less<const char*>()(c.base, p); });
        chunks_.insert(at, Chunk{base, size, mapped});
    } catch (...) {
        if (mapped)
            FreeHugeRegion(base, size);
        else
            std::free(base);
        throw;
    }
    reserved_ += size;
}

char* TTextArena::AllocateBlock(std::size_t n) {
    // Blocks under 2 MB are left to malloc, which maps big ones itself and
    // takes their pages only as they are touched.
    const bool mapped = n >= kHugeRegionBytes;
    const std::size_t size = mapped ? (n + kPageBytes - 1) / kPageBytes * kPageBytes : n;
    char* memory = mapped ? static_cast<char*>(AllocateHugeRegion(size))
                          : static_cast<char*>(std::malloc(size));
    if (!memory) throw std::bad_alloc();
    AddChunk(memory, size, mapped);
    return memory;
}

void TTextArena::ReleaseBlock(char* block) noexcept {
    const auto it = std::find_if(chunks_.begin(), chunks_.end(),
                                 [&](const Chunk& c) { return c.base == block; });
    if (it == chunks_.end()) return;
    if (it->mapped)
        FreeHugeRegion(it->base, it->size);
    else
        std::free(it->base);
    reserved_ -= it->size;
    chunks_.erase(it);
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
        if (c.mapped)
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
