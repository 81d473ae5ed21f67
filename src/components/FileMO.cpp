#include "components/FileMO.h"

#include "platform/FileNameBytes.h"
#include "platform/Registry.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace lorvane {
namespace {

std::string EntryName(std::uint32_t position) {
    return "FileOpen" + std::to_string(position);
}

// A menu caption shows "&" as an access-key marker and cuts the text at a
// tab; neither may change how a file name looks.
QString CaptionFor(const std::string& fileName) {
    QString caption = FileNameText(fileName);
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    caption.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return caption;
}

// Inserts at a position of the menu; past the end means at the end.
void InsertAt(QMenu& menu, int position, QAction* action) {
    const QList<QAction*> actions = menu.actions();
    menu.insertAction(position < actions.size() ? actions[position] : nullptr, action);
}

} // namespace

TFileMenuOpens::TFileMenuOpens(QObject* owner)
    : QObject(owner), registry_(std::make_unique<TRegistry>(RootKey::CurrentUser)) {}

TFileMenuOpens::~TFileMenuOpens() {
    RemoveShownItems();
}

void TFileMenuOpens::SetOnAction(ActionEvent handler) {
    onAction_ = std::move(handler);
    Rebuild();
}

void TFileMenuOpens::SetRegPath(std::string_view path) {
    if (path == regPath_ && registry_->HasOpenKey()) return;
    regPath_ = std::string(path);
    registry_->CloseKey();
    try {
        // Always from the root, whatever key was open before.
        registry_->OpenKey("\\" + regPath_, true);
    } catch (const std::exception&) {
        // No key open: the list reads as empty and keeps nothing.
        registry_->CloseKey();
    }
    FillMissingEntries(1, numbers_);
    Rebuild();
}

void TFileMenuOpens::SetNumbers(std::uint32_t numbers) {
    const std::uint32_t old = numbers_;
    numbers_ = numbers;
    if (numbers == old) return;
    if (numbers > old) {
        FillMissingEntries(old + 1, numbers);
    } else if (registry_->HasOpenKey()) {
        for (std::uint32_t i = numbers + 1; i <= old; ++i) {
            try {
                registry_->DeleteValue(EntryName(i));
            } catch (const std::exception&) {
            }
        }
    }
    Rebuild();
}

QMenu* TFileMenuOpens::Menus() const noexcept {
    return menu_;
}

void TFileMenuOpens::SetMenus(QMenu* menu) {
    // Items shown in the previous menu leave it.
    RemoveShownItems();
    menu_ = menu;
    Rebuild();
}

void TFileMenuOpens::SetMenuIndex(std::uint32_t index) {
    menuIndex_ = index;
    Rebuild();
}

void TFileMenuOpens::AddFile(std::string_view fileName) {
    if (fileName.empty() || numbers_ == 0) return;
    // No search for duplicates: a file opened again gets a second entry at
    // the top, as users of the list have always seen it.
    const std::vector<std::string> old = Entries();
    std::vector<std::string> next{std::string(fileName)};
    next.insert(next.end(), old.begin(), old.end());
    next.resize(numbers_);
    // Only changed positions are written: each write rewrites the registry
    // file.
    for (std::uint32_t i = numbers_; i >= 1; --i)
        if (next[i - 1] != old[i - 1]) WriteEntry(i, next[i - 1]);
    Rebuild();
}

std::vector<std::string> TFileMenuOpens::Entries() const {
    std::vector<std::string> entries;
    entries.reserve(numbers_);
    for (std::uint32_t i = 1; i <= numbers_; ++i)
        entries.push_back(ReadEntry(i));
    return entries;
}

std::string TFileMenuOpens::FileNameOf(const QAction* item) {
    return item ? item->data().toByteArray().toStdString() : std::string();
}

void TFileMenuOpens::Rebuild() {
    RemoveShownItems();
    if (!menu_) return;
    // An index past the end puts the list at the end, separator first.
    const int base = static_cast<int>(
        std::min<qsizetype>(static_cast<qsizetype>(menuIndex_), menu_->actions().size()));
    for (std::uint32_t i = 1; i <= numbers_; ++i) {
        const std::string entry = ReadEntry(i);
        if (entry.empty()) continue;
        auto* item = new QAction(CaptionFor(entry), menu_); // owned by the menu
        item->setObjectName(QString::fromStdString(EntryName(i)));
        // The name's bytes exactly: a name that is not UTF-8 would not
        // survive a trip through the caption's text.
        item->setData(QByteArray(entry.data(), static_cast<qsizetype>(entry.size())));
        connect(item, &QAction::triggered, this, [this, item] {
            if (onAction_) onAction_(item);
        });
        // Items follow one another even when the list has empty positions
        // in between, so the menu never has holes or stray items.
        InsertAt(*menu_, base + ShownCount(), item);
        items_.emplace_back(item);
    }
    if (!items_.empty()) {
        separator_ = new QAction(menu_); // owned by the menu
        separator_->setObjectName(QStringLiteral("SEP"));
        separator_->setSeparator(true);
        InsertAt(*menu_, base, separator_);
    }
}

void TFileMenuOpens::RemoveShownItems() {
    // The item being triggered may be among them (its handler opens a file
    // and so adds it to the list), so deletion waits for the event loop.
    auto drop = [this](QAction* action) {
        if (!action) return;
        if (menu_) menu_->removeAction(action);
        action->deleteLater();
    };
    for (const QPointer<QAction>& item : items_)
        drop(item);
    items_.clear();
    drop(separator_);
    separator_ = nullptr;
}

std::string TFileMenuOpens::ReadEntry(std::uint32_t position) const {
    if (!registry_->HasOpenKey()) return {};
    try {
        return registry_->ReadString(EntryName(position));
    } catch (const std::exception&) {
        return {}; // unreadable, or not a string: an empty position
    }
}

void TFileMenuOpens::WriteEntry(std::uint32_t position, const std::string& value) {
    if (!registry_->HasOpenKey()) return;
    try {
        registry_->WriteString(EntryName(position), value);
    } catch (const std::exception&) {
    }
}

void TFileMenuOpens::FillMissingEntries(std::uint32_t from, std::uint32_t to) {
    if (!registry_->HasOpenKey()) return;
    for (std::uint32_t i = from; i <= to; ++i) {
        try {
            if (!registry_->ValueExists(EntryName(i))) registry_->WriteString(EntryName(i), "");
        } catch (const std::exception&) {
        }
    }
}

} // namespace lorvane
