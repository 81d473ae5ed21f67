#pragma once
// The toolkit's own texts (file, colour, print and page set-up dialogs,
// the document windows' system menu, standard buttons) in Russian, as the
// rest of the program speaks.
#include <QTranslator>

#include <memory>

namespace lorvane {

// The toolkit's Russian translation, loaded; null when it is not installed
// (the Debian package qt6-translations-l10n). The caller installs it into
// the application before any window exists, and keeps it.
std::unique_ptr<QTranslator> LoadToolkitTranslation();

} // namespace lorvane
