#pragma once
// Text buffers of loaded paragraphs are carved out of large shared chunks:
// one malloc per paragraph would cost its header and rounding on every line
// of a big file. A paragraph's buffer is owned by the arena while its pointer
// lies inside a chunk; the first edit that outgrows it moves the text to a
// buffer of its own (see TextBuffer.h).
#include <cstddef>
#include <memory>
#include <vector>

namespace lorvane {

class TTextArena {
public:
    // Small texts take small chunks; big loads switch to 2 MB huge regions.
    static constexpr std::size_t kSmallChunkBytes = std::size_t{64} << 10;
    static constexpr std::size_t kChunkBytes = std::size_t{2} << 20;
    static constexpr std::size_t kSmallChunks = 32;

    TTextArena() = default;
    ~TTextArena() { Clear(); }
    TTextArena(const TTextArena&) = delete;
    TTextArena& operator=(const TTextArena&) = delete;

    // n bytes inside a chunk; requests too large for a chunk return nullptr
    // and the caller allocates on its own.
    char* Allocate(std::size_t n);
    // A block of its own for text read straight into it (a load places
    // paragraphs where they were read); ReleaseBlock gives back one that
    // got no paragraph.
    char* AllocateBlock(std::size_t n);
    void ReleaseBlock(char* block) noexcept;
    bool Owns(const char* p) const noexcept;
    void Clear() noexcept;
    std::size_t ReservedBytes() const noexcept { return reserved_; }

private:
    struct Chunk {
        char* base;
        std::size_t size;
        bool mapped;
    };
    void AddChunk(char* base, std::size_t size, bool mapped);
    std::vector<Chunk> chunks_; // sorted by base address
    char* current_ = nullptr;
    std::size_t reserved_ = 0;
    std::size_t left_ = 0;
};

// Capacity-aware buffers for a paragraph's text: buffers of our own come from
// malloc, whose usable size tells the capacity, so edits grow them in place.
char* AllocateTextBuffer(std::size_t bytes);
std::size_t TextBufferCapacity(const char* buffer) noexcept;
void FreeTextBuffer(TTextArena& arena, char* buffer) noexcept;

} // namespace lorvane
