#pragma once
// Large regions, aligned to 2 MB, taken whole when they are made. Loading a
// big text touches hundreds of megabytes; taking a region's pages in one
// call spares the page faults that would otherwise dominate the load.
#include <cstddef>

namespace lorvane {

constexpr std::size_t kHugeRegionBytes = std::size_t{2} << 20;
constexpr std::size_t kPageBytes = 4096;

// A region of `bytes` (a multiple of kPageBytes), 2 MB aligned; throws
// std::bad_alloc when the system has no memory left.
void* AllocateHugeRegion(std::size_t bytes);
void FreeHugeRegion(void* region, std::size_t bytes) noexcept;

} // namespace lorvane
