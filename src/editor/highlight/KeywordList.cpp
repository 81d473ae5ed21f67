#include "editor/highlight/KeywordList.h"

#include "editor/model/ErrorTexts.h"
#include "editor/highlight/HighlightFiler.h"
#include "platform/Error.h"

#include <algorithm>

namespace lorvane {
namespace {

void CheckKeyLength(std::string_view key) {
    if (key.size() > static_cast<std::size_t>(kMaxHighlightKeyLength))
        throw Error("Highlight key too long");
}

// Stable counting sort of the keywords by first byte, and the pair bits.
void BuildBuckets(KeywordBuckets& buckets, const std::vector<TKeywordList::Prepared>& prepared,
                  bool ignoringCase) {
    buckets.begin.fill(0);
    buckets.pairs.fill(0);
    buckets.entries.clear();
    buckets.allWholeWords = true;
    std::vector<KeywordBuckets::Entry> entries;
    for (std::size_t i = 0; i < prepared.size(); ++i) {
        const TKeywordList::Prepared& p = prepared[i];
        if (!p.searchable || p.ignoresCase != ignoringCase) continue;
        const std::string_view key = p.key;
        entries.push_back({key.data(), static_cast<std::int32_t>(i),
                           static_cast<std::int32_t>(key.size()), p.wholeWords});
        buckets.allWholeWords = buckets.allWholeWords && p.wholeWords;
        const auto first = static_cast<unsigned char>(key[0]);
        ++buckets.begin[first + 1u];
        if (key.size() == 1) {
            for (std::size_t w = 0; w < 4; ++w)
                buckets.pairs[first * 4u + w] = ~std::uint64_t{0};
        } else {
            const unsigned bit = (first << 8) | static_cast<unsigned char>(key[1]);
            buckets.pairs[bit >> 6] |= std::uint64_t{1} << (bit & 63);
        }
    }
    for (std::size_t b = 1; b < buckets.begin.size(); ++b)
        buckets.begin[b] += buckets.begin[b - 1];
    std::array<std::uint32_t, 256> next{};
    std::copy(buckets.begin.begin(), buckets.begin.end() - 1, next.begin());
    buckets.entries.resize(entries.size());
    for (const KeywordBuckets::Entry& e : entries)
        buckets.entries[next[static_cast<unsigned char>(e.key[0])]++] = e;
}

} // namespace

void TKeywordList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw Error(texts::kListIndexOutOfBounds);
}

const std::string& TKeywordList::Strings(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].keyword;
}

const KeywordInfo* TKeywordList::Objects(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].info.get();
}

int TKeywordList::AddObject(std::string keyword, std::unique_ptr<KeywordInfo> info) {
    CheckKeyLength(keyword);
    items_.push_back(Item{std::move(keyword), std::move(info)});
    Changed();
    return Count() - 1;
}

int TKeywordList::Add(std::string keyword, const AttributeHead& head) {
    auto info = std::make_unique<KeywordInfo>();
    info->head = head;
    return AddObject(std::move(keyword), std::move(info));
}

void TKeywordList::Delete(int index) {
    CheckIndex(index);
    items_.erase(items_.begin() + index);
    Changed();
}

void TKeywordList::Clear() {
    if (items_.empty()) return;
    items_.clear();
    Changed();
}

void TKeywordList::Assign(const TKeywordList& source) {
    if (&source == this) return;
    std::vector<Item> copy;
    copy.reserve(source.items_.size());
    for (const Item& item : source.items_) {
        copy.push_back(
            Item{item.keyword, item.info ? std::make_unique<KeywordInfo>(*item.info) : nullptr});
    }
    // One notification for the whole copy, like an update bracket.
    items_ = std::move(copy);
    Changed();
}

AttributeHead TKeywordList::Attributes(int index) const {
    const KeywordInfo* info = Objects(index);
    return info ? info->head : AttributeHead{};
}

void TKeywordList::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0) Changed();
}

void TKeywordList::SetUpperCaseType(TrzUpperCase type) {
    if (type == upperCaseType_) return;
    upperCaseType_ = type;
    Changed();
}

void TKeywordList::Changed() {
    if (updateCount_ != 0) return;
    Prepare();
    if (OnChange) OnChange();
}

void TKeywordList::Prepare() {
    prepared_.clear();
    prepared_.reserve(items_.size());
    maxLength_ = 0;
    anyIgnoresCase_ = false;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        Item& item = items_[i];
        const int length = static_cast<int>(item.keyword.size());
        maxLength_ = std::max(maxLength_, length);
        if (item.info) item.info->length = length;

        Prepared p;
        p.key = item.keyword;
        const std::uint8_t options = item.info ? item.info->head.options : 0;
        p.ignoresCase = (options & kMatchCase) == 0;
        p.wholeWords = (options & kWholeWords) != 0;
        if (p.ignoresCase) {
            anyIgnoresCase_ = true;
            UpperCaseInPlace(upperCaseType_, p.key.data(), p.key.size());
        }
        // A key holding the mask code would match masked text, and a stack slot
        // could not name it past the 16-bit limit.
        p.searchable = item.info && item.info->head.contextNumber != 0 && !p.key.empty() &&
                       p.key.find(kMaskCode) == std::string::npos &&
                       i < static_cast<std::size_t>(kMaxHighlightEntries);
        prepared_.push_back(std::move(p));
    }
    // The buckets point into prepared_, which stays put until the next preparation.
    BuildBuckets(exact_, prepared_, false);
    BuildBuckets(upper_, prepared_, true);
}

void TKeywordList::WriteData(TStream& stream) const {
    HighlightFilerWriter writer(stream);
    writer.WriteListBegin();
    for (const Item& item : items_) {
        const AttributeHead head = item.info ? item.info->head : AttributeHead{};
        writer.WriteString(item.keyword);
        writer.WriteInteger(head.options);
        writer.WriteInteger(head.style);
        writer.WriteInteger(head.contextNumber);
        writer.WriteInteger(head.cursor);
        writer.WriteInteger(static_cast<std::int32_t>(head.firstColour));
        writer.WriteInteger(static_cast<std::int32_t>(head.secondColour));
    }
    writer.WriteListEnd();
}

void TKeywordList::ReadData(TStream& stream) {
    HighlightFilerReader reader(stream);
    std::vector<Item> read;
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        Item item;
        item.keyword = reader.ReadString();
        CheckKeyLength(item.keyword);
        item.info = std::make_unique<KeywordInfo>();
        AttributeHead& head = item.info->head;
        // Stored integers are cut to the field widths, as they always were.
        head.options = static_cast<std::uint8_t>(reader.ReadInteger());
        head.style = static_cast<std::uint8_t>(reader.ReadInteger());
        head.contextNumber = reader.ReadInteger();
        head.cursor = static_cast<std::int16_t>(reader.ReadInteger());
        head.firstColour = static_cast<std::uint32_t>(reader.ReadInteger());
        head.secondColour = static_cast<std::uint32_t>(reader.ReadInteger());
        read.push_back(std::move(item));
    }
    items_ = std::move(read);
    Changed();
}

} // namespace lorvane
