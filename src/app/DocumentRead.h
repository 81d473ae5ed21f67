#pragma once
// Reading a document's file. Only a regular file is read: it is opened
// without waiting (a pipe would wait for a writer for ever) and its kind is
// checked on that descriptor, so nothing swapped in afterwards is read. A
// file longer than a text can be is refused before anything is allocated
// for it, and the file is read to the end the descriptor gives, whatever
// its size said at the start.
#include "app/DocumentFile.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lorvane {

struct TReadDocument {
    std::string bytes;
    TFileStamp stamp;           // the file as it was opened
    std::int64_t sizeAfter = 0; // its size when the reading ended
    // The file grew or shrank while it was read (or never held what its
    // size said): what was loaded may not be what the file holds.
    bool SizeChanged() const noexcept {
        return sizeAfter != stamp.size || static_cast<std::int64_t>(bytes.size()) != stamp.size;
    }
};

// Raises the usual file errors, and "Text too long" for a file the model
// cannot hold. `betweenChunks` runs after each chunk read.
TReadDocument ReadDocument(const std::string& path,
                           const std::function<void()>& betweenChunks = {});

// The length the model gives `bytes` as a text: a lone CR or LF becomes a
// break of two there.
std::int64_t TextLengthOf(std::string_view bytes) noexcept;

// "Файл ... изменился, пока его читали ..." for a read whose size changed.
std::string SizeChangeText(const std::string& path, const TReadDocument& read);

} // namespace lorvane
