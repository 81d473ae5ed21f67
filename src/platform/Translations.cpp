#include "platform/Translations.h"

#include <QLibraryInfo>
#include <QLocale>

namespace lorvane {

std::unique_ptr<QTranslator> LoadToolkitTranslation() {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    return translator;
}

} // namespace lorvane
