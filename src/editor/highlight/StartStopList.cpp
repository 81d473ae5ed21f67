#include "editor/highlight/StartStopList.h"

#include "editor/model/ErrorTexts.h"
#include "editor/highlight/HighlightFiler.h"
#include "platform/Error.h"

#include <algorithm>

namespace lorvane {

const StartStopInfo& TStartStopKeyList::Get(int index) const {
    if (index < 0 || index >= Count()) throw Error(texts::kListIndexOutOfBounds);
    return entries_[static_cast<std::size_t>(index)];
}

void TStartStopKeyList::PrepareKeys(StartStopInfo& entry) const {
    entry.startKey = entry.startText;
    entry.stopKey = entry.stopText;
    if (entry.IgnoresCase()) {
        UpperCaseInPlace(upperCaseType_, entry.startKey.data(), entry.startKey.size());
        UpperCaseInPlace(upperCaseType_, entry.stopKey.data(), entry.stopKey.size());
    }
}

int TStartStopKeyList::Add(std::string_view start, std::string_view stop, bool endsAtParagraphEnd,
                           std::uint32_t secondColour, std::uint32_t firstColour,
                           std::int16_t cursor, std::int32_t contextNumber, std::uint8_t style,
                           std::uint8_t options) {
    // An empty start key would open a range at every position without moving on.
    if (start.empty()) throw Error("Highlight start key is empty");
    if (start.size() > static_cast<std::size_t>(kMaxHighlightKeyLength) ||
        stop.size() > static_cast<std::size_t>(kMaxHighlightKeyLength))
        throw Error("Highlight key too long");
    if (Count() >= kMaxHighlightEntries) throw Error("Too many highlight keys");

    StartStopInfo entry;
    entry.head = AttributeHead{options, style, contextNumber, cursor, firstColour, secondColour};
    entry.startText = std::string(start);
    entry.stopText = std::string(stop);
    entry.startLength = static_cast<std::int16_t>(start.size());
    entry.stopLength = static_cast<std::int16_t>(stop.size());
    entry.endsAtParagraphEnd = endsAtParagraphEnd;
    PrepareKeys(entry);
    for (int i = 0; i < Count(); ++i) {
        const StartStopInfo& earlier = entries_[static_cast<std::size_t>(i)];
        if (earlier.head.options == options && earlier.startKey == entry.startKey) {
            entry.sameStartLink = static_cast<std::int16_t>(i);
            break;
        }
    }

    entries_.push_back(std::move(entry));
    maxStartLength_ = std::max(maxStartLength_, static_cast<int>(start.size()));
    maxStopLength_ = std::max(maxStopLength_, static_cast<int>(stop.size()));
    if (endsAtParagraphEnd) maxStopLength_ = std::max(maxStopLength_, 2);
    prepared_ = false;
    Reindex();
    return Count() - 1;
}

void TStartStopKeyList::Clear() noexcept {
    entries_.clear();
    entries_.shrink_to_fit();
    // Stale greatest lengths would only widen every later search window.
    maxStartLength_ = 0;
    maxStopLength_ = 0;
    prepared_ = false;
    Reindex();
}

void TStartStopKeyList::SetUpperCaseType(TrzUpperCase type) {
    if (type == upperCaseType_) return;
    upperCaseType_ = type;
    for (StartStopInfo& entry : entries_)
        PrepareKeys(entry);
    prepared_ = false; // the separator fields look at the prepared keys' ends
    // Which keys are equal can change with the casing (Cyrillic under the
    // ASCII table), and a link must name an entry whose key really is the same.
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        StartStopInfo& entry = entries_[i];
        entry.sameStartLink = -1;
        for (std::size_t j = 0; j < i; ++j) {
            if (entries_[j].head.options == entry.head.options &&
                entries_[j].startKey == entry.startKey) {
                entry.sameStartLink = static_cast<std::int16_t>(j);
                break;
            }
        }
    }
    Reindex();
}

void TStartStopKeyList::Prepare(const TCharSet& separators) noexcept {
    for (StartStopInfo& entry : entries_) {
        const bool whole = (entry.head.options & kWholeWords) != 0;
        const std::string& start = entry.startKey;
        const std::string& stop = entry.stopKey;
        entry.separatorAfterStart = whole && !start.empty() && !separators.Contains(start.back());
        entry.separatorBeforeStart = whole && !start.empty() && !separators.Contains(start.front());
        entry.separatorAfterStop = whole && !stop.empty() && !separators.Contains(stop.back());
        entry.separatorBeforeStop = whole && !stop.empty() && !separators.Contains(stop.front());
    }
    prepared_ = true;
}

int TStartStopKeyList::NextSameStart(int closing) const noexcept {
    for (int i = closing + 1; i < Count(); ++i)
        if (entries_[static_cast<std::size_t>(i)].sameStartLink == closing) return i;
    return -1;
}

void TStartStopKeyList::Reindex() noexcept {
    exactFirst_.fill(false);
    upperFirst_.fill(false);
    anyIgnoresCase_ = false;
    for (const StartStopInfo& entry : entries_) {
        const auto first = static_cast<unsigned char>(entry.startKey.front());
        if (entry.IgnoresCase()) {
            upperFirst_[first] = true;
            anyIgnoresCase_ = true;
        } else {
            exactFirst_[first] = true;
        }
    }
}

void TStartStopKeyList::WriteData(TStream& stream) const {
    HighlightFilerWriter writer(stream);
    writer.WriteListBegin();
    for (const StartStopInfo& entry : entries_) {
        writer.WriteString(entry.startKey);
        writer.WriteString(entry.stopKey);
        writer.WriteInteger(entry.head.options);
        writer.WriteInteger(entry.head.style);
        writer.WriteInteger(entry.head.contextNumber);
        writer.WriteInteger(entry.head.cursor);
        writer.WriteInteger(static_cast<std::int32_t>(entry.head.firstColour));
        writer.WriteInteger(static_cast<std::int32_t>(entry.head.secondColour));
        writer.WriteBoolean(entry.endsAtParagraphEnd);
    }
    writer.WriteListEnd();
}

void TStartStopKeyList::ReadData(TStream& stream) {
    // Built aside and swapped in, so a bad stream changes nothing.
    TStartStopKeyList read;
    read.upperCaseType_ = upperCaseType_;
    HighlightFilerReader reader(stream);
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        const std::string start = reader.ReadString();
        const std::string stop = reader.ReadString();
        const auto options = static_cast<std::uint8_t>(reader.ReadInteger());
        const auto style = static_cast<std::uint8_t>(reader.ReadInteger());
        const std::int32_t contextNumber = reader.ReadInteger();
        const auto cursor = static_cast<std::int16_t>(reader.ReadInteger());
        const auto firstColour = static_cast<std::uint32_t>(reader.ReadInteger());
        const auto secondColour = static_cast<std::uint32_t>(reader.ReadInteger());
        const bool endsAtParagraphEnd = reader.ReadBoolean();
        read.Add(start, stop, endsAtParagraphEnd, secondColour, firstColour, cursor, contextNumber,
                 style, options);
    }
    entries_ = std::move(read.entries_);
    maxStartLength_ = read.maxStartLength_;
    maxStopLength_ = read.maxStopLength_;
    prepared_ = false;
    Reindex();
}

} // namespace lorvane
