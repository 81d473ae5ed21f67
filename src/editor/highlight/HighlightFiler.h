#pragma once
// The value encoding of the highlighting lists' filer properties ("Strings"
// of the keyword list, "Keys" of the start/stop list): a tagged byte stream
// of lists, integers, strings and booleans, little-endian. Writers choose the
// shortest integer and string forms; readers accept every form and raise
// lorvane::Error on anything else, on a truncated stream, and on a length
// that claims more bytes than the stream still holds.
#include "platform/Stream.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lorvane {

enum class FilerValue : std::uint8_t {
    EndOfList = 0,
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    String = 6, // length in one byte
    False = 8,
    True = 9,
    LongString = 12, // length in four bytes
};

class HighlightFilerWriter {
public:
    explicit HighlightFilerWriter(TStream& stream) : stream_(stream) {}

    void WriteListBegin();
    void WriteListEnd();
    void WriteInteger(std::int32_t value);
    void WriteString(std::string_view value);
    void WriteBoolean(bool value);

private:
    void WriteTag(FilerValue tag);
    TStream& stream_;
};

class HighlightFilerReader {
public:
    explicit HighlightFilerReader(TStream& stream) : stream_(stream) {}

    void ReadListBegin();
    // True (and the marker consumed) when the next value ends the list.
    bool EndOfList();
    std::int32_t ReadInteger();
    std::string ReadString();
    bool ReadBoolean();

private:
    FilerValue NextTag();
    [[noreturn]] static void Invalid();

    TStream& stream_;
    bool hasPending_ = false;
    FilerValue pending_ = FilerValue::EndOfList;
};

} // namespace lorvane
