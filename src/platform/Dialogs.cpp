#include "platform/Dialogs.h"

#include "platform/QtDialogs.h"

#include <memory>

namespace lorvane {

namespace {
Dialogs* installed = nullptr;
} // namespace

Dialogs& Dialogs::Current() {
    if (installed != nullptr) return *installed;
    // Made on first use: it needs the application object, which exists by
    // the time anything asks the user a question.
    static const std::unique_ptr<QtDialogs> qtDialogs = std::make_unique<QtDialogs>();
    return *qtDialogs;
}

void Dialogs::Install(Dialogs* dialogs) {
    installed = dialogs;
}

Dialogs* Dialogs::Installed() noexcept {
    return installed;
}

} // namespace lorvane
