#include "editor/HugeMemory.h"

#include <cstdint>
#include <new>
#include <sys/mman.h>

namespace lorvane {

void* AllocateHugeRegion(std::size_t bytes) {
    // Map one alignment more than needed and cut the ends off, which leaves
    // an aligned region the kernel can fill with huge pages.
    const std::size_t span = bytes + kHugeRegionBytes;
    void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugeRegionBytes - 1) & ~(kHugeRegionBytes - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const std::uintptr_t end = start + span, alignedEnd = aligned + bytes;
    if (end > alignedEnd) munmap(reinterpret_cast<void*>(alignedEnd), end - alignedEnd);
    auto* region = reinterpret_cast<void*>(aligned);
    madvise(region, bytes, MADV_HUGEPAGE);
    return region;
}

void FreeHugeRegion(void* region, std::size_t bytes) noexcept {
    if (region) munmap(region, bytes);
}

} // namespace lorvane
