#include "editor/model/HugeMemory.h"

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
    // A region is made when it is about to be filled, so its pages are
    // taken in one call rather than one fault at a time. No huge-page advice: on a guest whose
    // host takes back free 2 MB blocks, a fresh huge page costs several
    // times what it costs when it was freed a moment ago, which made the
    // load of one text vary fourfold from run to run.
#ifdef MADV_POPULATE_WRITE
    madvise(region, bytes, MADV_POPULATE_WRITE); // failing only means faults later
#endif
    return region;
}

void FreeHugeRegion(void* region, std::size_t bytes) noexcept {
    if (region) munmap(region, bytes);
}

} // namespace lorvane
