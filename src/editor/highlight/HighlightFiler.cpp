#include "editor/highlight/HighlightFiler.h"

#include "platform/Error.h"

#include <limits>

namespace lorvane {
namespace {

// Integers travel little-endian whatever the host order is.
void PutLittleEndian(TStream& stream, std::uint32_t value, int bytes) {
    unsigned char buf[4];
    for (int i = 0; i < bytes; ++i)
        buf[i] = static_cast<unsigned char>(value >> (8 * i));
    stream.WriteBuffer(buf, bytes);
}

std::uint32_t GetLittleEndian(TStream& stream, int bytes) {
    unsigned char buf[4] = {};
    stream.ReadBuffer(buf, bytes);
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<std::uint32_t>(buf[i]) << (8 * i);
    return value;
}

} // namespace

void HighlightFilerWriter::WriteTag(FilerValue tag) {
    const auto byte = static_cast<unsigned char>(tag);
    stream_.WriteBuffer(&byte, 1);
}

void HighlightFilerWriter::WriteListBegin() {
    WriteTag(FilerValue::List);
}

void HighlightFilerWriter::WriteListEnd() {
    WriteTag(FilerValue::EndOfList);
}

void HighlightFilerWriter::WriteInteger(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    if (value >= -128 && value <= 127) {
        WriteTag(FilerValue::Int8);
        PutLittleEndian(stream_, bits, 1);
    } else if (value >= -32768 && value <= 32767) {
        WriteTag(FilerValue::Int16);
        PutLittleEndian(stream_, bits, 2);
    } else {
        WriteTag(FilerValue::Int32);
        PutLittleEndian(stream_, bits, 4);
    }
}

void HighlightFilerWriter::WriteString(std::string_view value) {
    if (value.size() > std::numeric_limits<std::int32_t>::max()) throw Error("Stream write error");
    if (value.size() <= 255) {
        WriteTag(FilerValue::String);
        PutLittleEndian(stream_, static_cast<std::uint32_t>(value.size()), 1);
    } else {
        WriteTag(FilerValue::LongString);
        PutLittleEndian(stream_, static_cast<std::uint32_t>(value.size()), 4);
    }
    stream_.WriteBuffer(value.data(), static_cast<std::int64_t>(value.size()));
}

void HighlightFilerWriter::WriteBoolean(bool value) {
    WriteTag(value ? FilerValue::True : FilerValue::False);
}

void HighlightFilerReader::Invalid() {
    throw Error("Invalid property value");
}

FilerValue HighlightFilerReader::NextTag() {
    if (hasPending_) {
        hasPending_ = false;
        return pending_;
    }
    unsigned char byte = 0;
    stream_.ReadBuffer(&byte, 1);
    return static_cast<FilerValue>(byte);
}

void HighlightFilerReader::ReadListBegin() {
    if (NextTag() != FilerValue::List) Invalid();
}

bool HighlightFilerReader::EndOfList() {
    const FilerValue tag = NextTag();
    if (tag == FilerValue::EndOfList) return true;
    pending_ = tag;
    hasPending_ = true;
    return false;
}

std::int32_t HighlightFilerReader::ReadInteger() {
    switch (NextTag()) {
    case FilerValue::Int8:
        return static_cast<std::int8_t>(GetLittleEndian(stream_, 1));
    case FilerValue::Int16:
        return static_cast<std::int16_t>(GetLittleEndian(stream_, 2));
    case FilerValue::Int32:
        return static_cast<std::int32_t>(GetLittleEndian(stream_, 4));
    default:
        Invalid();
    }
}

std::string HighlightFilerReader::ReadString() {
    std::uint32_t length = 0;
    switch (NextTag()) {
    case FilerValue::String:
        length = GetLittleEndian(stream_, 1);
        break;
    case FilerValue::LongString:
        length = GetLittleEndian(stream_, 4);
        break;
    default:
        Invalid();
    }
    // A hostile length must not make us allocate what the stream cannot hold.
    if (static_cast<std::int64_t>(length) > stream_.Size() - stream_.Position())
        throw Error("Stream read error");
    std::string value(length, '\0');
    stream_.ReadBuffer(value.data(), length);
    return value;
}

bool HighlightFilerReader::ReadBoolean() {
    switch (NextTag()) {
    case FilerValue::True:
        return true;
    case FilerValue::False:
        return false;
    default:
        Invalid();
    }
}

} // namespace lorvane
