#pragma once
// The help page F1 opens: "Lorvane.htm" in the current directory when there
// is one (a page of one's own beside the sources has always come first),
// else the page the program ships. The desktop's browser opens it; when
// nothing can, the user is told.
#include <functional>
#include <string>

class QObject;

namespace lorvane {

// The page to open; empty when there is neither.
std::string HelpPagePath();

// Opens `page` with the desktop's "open" (xdg-open) without waiting for it;
// `failed` is called from the event loop with a Russian text when the
// opener cannot be started or reports that nothing opened the page.
void OpenHelpPage(QObject* owner, const std::string& page,
                  std::function<void(const std::string& text)> failed);

} // namespace lorvane
