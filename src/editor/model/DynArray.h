#pragma once
// Growable arrays of fixed-size records. TDynArray keeps one contiguous
// block; TDynArray2 keeps 32768-byte blocks so that a record never moves
// while the array grows (the paragraph list hands out record pointers).
#include <cstdint>
#include <memory>
#include <vector>

namespace lorvane {

// Records are placed `granule` bytes apart rounded up: 16 by default; a list
// of records that need only their own alignment may ask for less.
constexpr std::uint16_t StrideFor(std::uint16_t elementSize, std::uint16_t granule = 16) noexcept {
    return static_cast<std::uint16_t>(((elementSize - 1) / granule + 1) * granule);
}

class TDynArray {
public:
    explicit TDynArray(std::uint16_t elementSize);
    TDynArray(const TDynArray&) = delete;
    TDynArray& operator=(const TDynArray&) = delete;

    void* Get(std::int32_t index) const;
    void Put(std::int32_t index, const void* record);
    void Read(std::int32_t index, void* record) const;
    void SetCount(std::int32_t n);
    void SetCapacity(std::int32_t n);
    std::int32_t Add(const void* record);

    std::int32_t Count() const noexcept { return count_; }
    std::int32_t Capacity() const noexcept { return capacity_; }
    std::uint16_t ElementSize() const noexcept { return elementSize_; }
    std::uint16_t Stride() const noexcept { return stride_; }

private:
    struct FreeDeleter {
        void operator()(unsigned char* p) const noexcept;
    };
    std::uint16_t elementSize_;
    std::uint16_t stride_;
    std::unique_ptr<unsigned char, FreeDeleter> data_;
    std::int32_t count_ = 0;
    std::int32_t capacity_ = 0;
};

// Where the blocks of a TDynArray2 come from: the first few from malloc,
// the rest carved out of 2 MB huge regions, so that a list of a million
// records costs few page faults. A region goes back to the system when its
// last block is given back.
class TBlockPool {
public:
    static constexpr std::size_t kBlockBytes = 32768;
    static constexpr std::size_t kMallocBlocks = 16;

    TBlockPool() = default;
    ~TBlockPool();
    TBlockPool(const TBlockPool&) = delete;
    TBlockPool& operator=(const TBlockPool&) = delete;

    unsigned char* Take();
    void Give(unsigned char* block) noexcept;

private:
    struct Region {
        unsigned char* base;
        int used;
    };
    Region* RegionOf(const unsigned char* block) noexcept;

    std::vector<Region> regions_;
    std::vector<unsigned char*> free_;
    std::size_t mallocBlocks_ = 0;
};

class TDynArray2 {
public:
    static constexpr int kBlockBytes = 32768;

    explicit TDynArray2(std::uint16_t elementSize, std::uint16_t granule = 16);
    ~TDynArray2();
    TDynArray2(const TDynArray2&) = delete;
    TDynArray2& operator=(const TDynArray2&) = delete;

    void* Get(std::int32_t index) const;
    // No bounds check: for the store's own loops, which know their range.
    void* At(std::int32_t index) const noexcept {
        return Slot(index < gapStart_ ? index : index + gapLength_);
    }
    void Put(std::int32_t index, const void* record);
    void Read(std::int32_t index, void* record) const;
    void SetCount(std::int32_t n);
    void SetCapacity(std::int32_t n);
    std::int32_t Add(const void* record);
    // Opens `n` zeroed places at `index` or closes them. Records may move, so
    // cached pointers must be renewed. The list keeps a gap of free places
    // where it was last opened or closed, so that repeated line breaks at
    // one place move only the records between the old and the new place.
    // Records never move while the list grows at its end.
    void InsertPlaces(std::int32_t index, std::int32_t n);
    void RemovePlaces(std::int32_t index, std::int32_t n);

    std::int32_t Count() const noexcept { return count_; }
    std::int32_t Capacity() const noexcept { return capacity_; }
    std::int32_t BlockCount() const noexcept { return static_cast<std::int32_t>(blocks_.size()); }
    std::uint16_t ElementSize() const noexcept { return elementSize_; }
    std::uint16_t Stride() const noexcept { return stride_; }
    std::uint16_t RecordsPerBlock() const noexcept { return perBlock_; }

private:
    // Physical places: records before the gap, the gap, records after it.
    void* Slot(std::int32_t place) const noexcept {
        return blocks_[static_cast<std::size_t>(place / perBlock_)] +
               static_cast<std::size_t>(place % perBlock_) * stride_;
    }
    void MoveRecords(std::int32_t to, std::int32_t from, std::int32_t n) noexcept;
    void MoveGapTo(std::int32_t index) noexcept;
    void UpdateCapacity() noexcept {
        capacity_ = static_cast<std::int32_t>(blocks_.size()) * perBlock_ - gapLength_;
    }

    std::uint16_t elementSize_;
    std::uint16_t stride_;
    std::uint16_t perBlock_;
    TBlockPool pool_;
    std::vector<unsigned char*> blocks_;
    std::int32_t count_ = 0;
    std::int32_t capacity_ = 0;
    std::int32_t gapStart_ = 0;  // index of the first record after the gap
    std::int32_t gapLength_ = 0; // free places inside the list
};

[[noreturn]] void ThrowListIndexError();

} // namespace lorvane
