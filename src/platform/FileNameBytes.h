#pragma once
// File names are bytes. The toolkit shows them as text and gives back text,
// and a name that is not UTF-8 (a Windows-1251 name from an old archive)
// loses its bytes on the way: every byte that is no UTF-8 becomes the same
// replacement mark. These two turn a name into text for the eye and text
// the toolkit gave back into the exact bytes of the file it stands for.
#include <QString>

#include <string>
#include <string_view>

namespace lorvane {

// For showing and for the toolkit's own use; not reversible.
QString FileNameText(std::string_view name);

// The file (or directory) whose name the toolkit shows as `text`: each part
// of the path is looked up in its directory among the names that show the
// same way, so a chosen file keeps its bytes. A part that matches nothing
// (a new file to be saved) is taken as UTF-8; of several names that show
// alike, the first the directory lists is taken.
std::string FileNameBytes(const QString& text);

} // namespace lorvane
