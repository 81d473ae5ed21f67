#pragma once
// Lets one instance of the program run. The frame creates the guard, sets
// its properties and calls Loaded() once, before it shows itself. The
// first start holds the instance lock for the guard's life and comes
// forward when a later start asks; a later start reports itself through
// AlreadyExist (where the frame hands its command line over), asks the
// first instance to come forward, and ends as soon as the event loop
// starts, without showing the frame.
#include <QObject>

#include <functional>
#include <memory>
#include <string>

namespace lorvane {

class InstanceLock;

class TXJustOne final : public QObject {
    Q_OBJECT
public:
    using NotifyEvent = std::function<void(TXJustOne* sender)>;

    // The owner, when it is a widget, is the window that comes forward.
    explicit TXJustOne(QObject* owner = nullptr);
    ~TXJustOne() override;
    TXJustOne(const TXJustOne&) = delete;
    TXJustOne& operator=(const TXJustOne&) = delete;

    bool SwitchToPrevious() const noexcept { return switchToPrevious_; }
    void SetSwitchToPrevious(bool on) noexcept { switchToPrevious_ = on; }
    const NotifyEvent& AlreadyExist() const noexcept { return alreadyExist_; }
    void SetAlreadyExist(NotifyEvent handler) { alreadyExist_ = std::move(handler); }
    // Second start: the file name to hand over to the first with the
    // request, set by the AlreadyExist handler.
    void SetHandOverName(std::string name) { handOverName_ = std::move(name); }
    // First start: called with every file name a later start hands over
    // (set before Loaded()).
    using HandOverEvent = std::function<void(const std::string& fileName)>;
    void SetOnHandOver(HandOverEvent handler) { onHandOver_ = std::move(handler); }

    // The guard's whole work, once the properties are set. The lock is
    // named after the application's name ("Lorvane"), so that name must be
    // set first. A second call does nothing.
    void Loaded();

    bool HasLoaded() const noexcept { return loaded_; }
    // False in a second start: the frame must not be shown (the event loop
    // will end at once anyway).
    bool IsFirstInstance() const noexcept { return first_; }
    const std::string& Title() const noexcept { return title_; }

    // First instance: restores a minimised owner window, or raises it, and
    // activates it. Runs when a later start asks.
    void ComeForward();

private:
    bool switchToPrevious_ = true;
    NotifyEvent alreadyExist_;
    HandOverEvent onHandOver_;
    std::string handOverName_;
    std::unique_ptr<InstanceLock> lock_;
    std::string title_;
    bool loaded_ = false;
    bool first_ = true;
};

} // namespace lorvane
