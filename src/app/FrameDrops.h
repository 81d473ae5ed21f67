#pragma once
// Files dragged from a file manager onto the frame, its window area or a
// document window open as documents: each in a window of its own, as open
// by name opens a file, and each added to the recent-files list.
#include <string>
#include <vector>

class QMimeData;

namespace lorvane {

class TMainFormLorvane;

// The local files a drag carries (text/uri-list), in its order; empty when
// it carries none, such as dragged text or links to other machines.
std::vector<std::string> DroppedFiles(const QMimeData* data);

// Makes the frame and its window area take such drags.
void AcceptFileDrops(TMainFormLorvane& frame);

} // namespace lorvane
