#include "editor/model/DynArray.h"

#include "editor/model/ErrorTexts.h"
#include "editor/model/HugeMemory.h"
#include "platform/Error.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace lorvane {

void ThrowListIndexError() {
    throw Error(texts::kListIndexOutOfBounds);
}

void TDynArray::FreeDeleter::operator()(unsigned char* p) const noexcept {
    std::free(p);
}

TDynArray::TDynArray(std::uint16_t elementSize)
    : elementSize_(elementSize), stride_(StrideFor(elementSize)) {}

void* TDynArray::Get(std::int32_t index) const {
    if (index < 0 || index >= count_) ThrowListIndexError();
    return data_.get() + static_cast<std::size_t>(index) * stride_;
}

void TDynArray::Put(std::int32_t index, const void* record) {
    std::memcpy(Get(index), record, elementSize_);
}

void TDynArray::Read(std::int32_t index, void* record) const {
    std::memcpy(record, Get(index), elementSize_);
}

void TDynArray::SetCapacity(std::int32_t n) {
    if (n < 0) n = 0;
    if (n > INT_MAX / stride_) throw std::bad_alloc();
    if (n < count_) n = count_;
    if (n == capacity_) return;
    const std::size_t bytes = static_cast<std::size_t>(n) * stride_;
    if (bytes == 0) {
        data_.reset();
    } else {
        auto* p = static_cast<unsigned char*>(std::realloc(data_.get(), bytes));
        if (!p) throw std::bad_alloc();
        (void)data_.release();
        data_.reset(p);
        if (n > capacity_)
            std::memset(p + static_cast<std::size_t>(capacity_) * stride_, 0,
                        static_cast<std::size_t>(n - capacity_) * stride_);
    }
    capacity_ = n;
}

void TDynArray::SetCount(std::int32_t n) {
    if (n < 0) n = 0;
    if (n > capacity_) SetCapacity(n);
    count_ = n;
}

std::int32_t TDynArray::Add(const void* record) {
    SetCount(count_ + 1);
    Put(count_ - 1, record);
    return count_ - 1;
}

TBlockPool::~TBlockPool() {
    for (const Region& r : regions_)
        FreeHugeRegion(r.base, kHugeRegionBytes);
    for (unsigned char* block : free_)
        if (!RegionOf(block)) std::free(block);
}

TBlockPool::Region* TBlockPool::RegionOf(const unsigned char* block) noexcept {
    const auto base = reinterpret_cast<std::uintptr_t>(block) & ~(kHugeRegionBytes - 1);
    for (Region& r : regions_)
        if (reinterpret_cast<std::uintptr_t>(r.base) == base) return &r;
    return nullptr;
}

unsigned char* TBlockPool::Take() {
    if (free_.empty()) {
        if (mallocBlocks_ < kMallocBlocks) {
            auto* block = static_cast<unsigned char*>(std::malloc(kBlockBytes));
            if (!block) throw std::bad_alloc();
            ++mallocBlocks_;
            return block;
        }
        regions_.reserve(regions_.size() + 1);
        free_.reserve(free_.size() + kHugeRegionBytes / kBlockBytes);
        auto* base = static_cast<unsigned char*>(AllocateHugeRegion(kHugeRegionBytes));
        regions_.push_back(Region{base, 0});
        for (std::size_t i = kHugeRegionBytes / kBlockBytes; i-- > 0;)
            free_.push_back(base + i * kBlockBytes);
    }
    unsigned char* block = free_.back();
    free_.pop_back();
    if (Region* r = RegionOf(block)) ++r->used;
    return block;
}

void TBlockPool::Give(unsigned char* block) noexcept {
    Region* r = RegionOf(block);
    if (!r) {
        std::free(block);
        --mallocBlocks_;
        return;
    }
    free_.push_back(block);
    if (--r->used > 0) return;
    unsigned char* base = r->base;
    std::erase_if(free_,
                  [&](unsigned char* b) { return b >= base && b < base + kHugeRegionBytes; });
    FreeHugeRegion(base, kHugeRegionBytes);
    regions_.erase(regions_.begin() + (r - regions_.data()));
}

TDynArray2::~TDynArray2() {
    for (unsigned char* block : blocks_)
        pool_.Give(block);
}

TDynArray2::TDynArray2(std::uint16_t elementSize, std::uint16_t granule)
    : elementSize_(elementSize), stride_(StrideFor(elementSize, granule)),
      perBlock_(static_cast<std::uint16_t>(kBlockBytes / stride_)) {}

void* TDynArray2::Get(std::int32_t index) const {
    if (index < 0 || index >= count_) ThrowListIndexError();
    return At(index);
}

void TDynArray2::Put(std::int32_t index, const void* record) {
    std::memcpy(Get(index), record, elementSize_);
}

void TDynArray2::Read(std::int32_t index, void* record) const {
    std::memcpy(record, Get(index), elementSize_);
}

void TDynArray2::SetCapacity(std::int32_t n) {
    if (n < count_) n = count_;
    const std::int64_t places = static_cast<std::int64_t>(n) + gapLength_;
    const std::size_t wanted =
        places <= 0 ? 1 : static_cast<std::size_t>((places - 1) / perBlock_ + 1);
    if (static_cast<long long>(wanted) * perBlock_ > INT_MAX) throw std::bad_alloc();
    blocks_.reserve(wanted);
    while (blocks_.size() < wanted)
        blocks_.push_back(pool_.Take());
    while (blocks_.size() > wanted) {
        pool_.Give(blocks_.back());
        blocks_.pop_back();
    }
    UpdateCapacity();
}

void TDynArray2::SetCount(std::int32_t n) {
    if (n < 0) n = 0;
    if (n <= gapStart_) {
        // The gap and everything after it fall off the end.
        gapStart_ = n;
        gapLength_ = 0;
        UpdateCapacity();
    }
    if (n > capacity_) SetCapacity(n);
    count_ = n;
}

std::int32_t TDynArray2::Add(const void* record) {
    SetCount(count_ + 1);
    Put(count_ - 1, record);
    return count_ - 1;
}

void TDynArray2::MoveRecords(std::int32_t to, std::int32_t from, std::int32_t n) noexcept {
    // Physical places, copied in runs that stay inside one block on both
    // sides; the direction follows memmove's rule so overlapping moves are safe.
    if (n <= 0 || to == from) return;
    if (to < from) {
        std::int32_t done = 0;
        while (done < n) {
            const std::int32_t s = from + done, d = to + done;
            const std::int32_t run =
                std::min({n - done, perBlock_ - s % perBlock_, perBlock_ - d % perBlock_});
            std::memmove(Slot(d), Slot(s), static_cast<std::size_t>(run) * stride_);
            done += run;
        }
    } else {
        std::int32_t left = n;
        while (left > 0) {
            const std::int32_t sEnd = from + left, dEnd = to + left; // exclusive
            const std::int32_t sIn = (sEnd - 1) % perBlock_ + 1, dIn = (dEnd - 1) % perBlock_ + 1;
            const std::int32_t run = std::min({left, sIn, dIn});
            std::memmove(Slot(dEnd - run), Slot(sEnd - run),
                         static_cast<std::size_t>(run) * stride_);
            left -= run;
        }
    }
}

void TDynArray2::MoveGapTo(std::int32_t index) noexcept {
    if (gapLength_ > 0) {
        if (index < gapStart_)
            MoveRecords(index + gapLength_, index, gapStart_ - index);
        else if (index > gapStart_)
            MoveRecords(gapStart_, gapStart_ + gapLength_, index - gapStart_);
    }
    gapStart_ = index;
}

void TDynArray2::InsertPlaces(std::int32_t index, std::int32_t n) {
    if (index < 0 || index > count_) ThrowListIndexError();
    if (n <= 0) return;
    if (gapLength_ < n) {
        // Close the old gap at the end, then open one with a block to spare.
        MoveGapTo(count_);
        gapLength_ = 0;
        const std::int32_t room = n + perBlock_;
        SetCapacity(count_ + room);
        MoveRecords(index + room, index, count_ - index);
        gapStart_ = index;
        gapLength_ = room;
    } else {
        MoveGapTo(index);
    }
    for (std::int32_t i = 0; i < n; ++i)
        std::memset(Slot(gapStart_ + i), 0, stride_);
    gapStart_ += n;
    gapLength_ -= n;
    count_ += n;
    UpdateCapacity();
}

void TDynArray2::RemovePlaces(std::int32_t index, std::int32_t n) {
    if (n <= 0) return;
    if (index < 0 || index + n > count_) ThrowListIndexError();
    MoveGapTo(index + n);
    gapStart_ = index;
    gapLength_ += n;
    count_ -= n;
    UpdateCapacity();
}

} // namespace lorvane
