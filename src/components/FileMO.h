#pragma once
// The recent-files list: the most recently opened files, kept in the
// registry under one key (values "FileOpen1" .. "FileOpen<Numbers>", the
// most recent first, an empty string for an empty position) and mirrored
// as items inside a menu, behind a separator. The menu is always rebuilt
// from the registry, never from memory, so a list changed by another
// instance shows up at the next rebuild.
//
// Registry failures never reach the caller: a list that cannot be read
// shows as empty and an entry that cannot be written is simply not kept.
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QMenu;

namespace lorvane {

class TRegistry;

class TFileMenuOpens final : public QObject {
    Q_OBJECT
public:
    // Called with the chosen menu item; FileNameOf(sender) is its file.
    using ActionEvent = std::function<void(QAction* sender)>;

    explicit TFileMenuOpens(QObject* owner = nullptr);
    ~TFileMenuOpens() override;
    TFileMenuOpens(const TFileMenuOpens&) = delete;
    TFileMenuOpens& operator=(const TFileMenuOpens&) = delete;

    // The properties in the order the frame sets them: the key must be open
    // before the capacity changes, so that stored entries beyond the
    // constructor's capacity of 4 survive raising it.
    const ActionEvent& OnAction() const noexcept { return onAction_; }
    void SetOnAction(ActionEvent handler);
    // Relative to the current user's root; "OpenFileLorvane\History\" is
    // the key OpenFileLorvane\History directly under it.
    const std::string& RegPath() const noexcept { return regPath_; }
    void SetRegPath(std::string_view path);
    std::uint32_t Numbers() const noexcept { return numbers_; }
    void SetNumbers(std::uint32_t numbers);
    QMenu* Menus() const noexcept;
    void SetMenus(QMenu* menu);
    std::uint32_t MenuIndex() const noexcept { return menuIndex_; }
    void SetMenuIndex(std::uint32_t index);

    // Puts the file at the top of the list and rebuilds the menu. A file
    // already in the list moves to the top instead of being listed twice;
    // names compare exactly, as the file system does.
    void AddFile(std::string_view fileName);

    // The stored entries, position 1 first (empty strings included).
    std::vector<std::string> Entries() const;
    // Number of file items in the menu now.
    int ShownCount() const noexcept { return static_cast<int>(items_.size()); }

    // The file a menu item of this list stands for (its caption shows the
    // same name, with "&" doubled so that it is not taken as an access key).
    static std::string FileNameOf(const QAction* item);

private:
    void Rebuild();
    void RemoveShownItems();
    std::string ReadEntry(std::uint32_t position) const;
    void WriteEntry(std::uint32_t position, const std::string& value);
    void FillMissingEntries(std::uint32_t from, std::uint32_t to);

    std::unique_ptr<TRegistry> registry_;
    QPointer<QMenu> menu_;
    std::uint32_t menuIndex_ = 0;
    std::uint32_t numbers_ = 4;
    std::string regPath_;
    ActionEvent onAction_;
    std::vector<QPointer<QAction>> items_;
    QPointer<QAction> separator_;
};

} // namespace lorvane
