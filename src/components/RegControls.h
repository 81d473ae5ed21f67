#pragma once
// Keeps a window's placement from one run to the next: state and bounds are
// read from a registry key once the window is built, and written back at
// every close query that ends with closing allowed. Registry failures are
// never shown; a placement that cannot be read leaves the designed one.
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lorvane {

enum class TRegLocation : std::uint8_t { CurrentUser = 0, LocalMachine = 1 };

class TRegForm final {
public:
    // The window's own close-query handler, run before the placement is
    // stored; clearing the flag keeps the window open and stores nothing.
    using CloseQueryEvent = std::function<void(QWidget* sender, bool& canClose)>;

    // `form` is the window whose placement is kept; `previous` is the close
    // query it had, which this one calls first.
    TRegForm(QWidget* form, CloseQueryEvent previous);

    bool RegEnabled() const noexcept { return enabled_; }
    void SetRegEnabled(bool on) noexcept { enabled_ = on; }
    TRegLocation RegLocation() const noexcept { return location_; }
    // A new location moves the placement: the key is deleted under both
    // roots and the current placement written under the new one.
    void SetRegLocation(TRegLocation location);
    const std::string& RegKey() const noexcept { return key_; }
    // Empty keys are ignored; one trailing backslash is dropped.
    void SetRegKey(std::string_view key);

    // After the window is built: applies the stored placement.
    void Loaded();
    // The window's close query: the previous handler, then the placement
    // stored when closing is still allowed.
    void CloseQuery(bool& canClose);

    // The five values under the key, now; failures are swallowed.
    void Save();
    void Restore();
    // True once a stored placement was found and applied.
    bool Restored() const noexcept { return restored_; }

private:
    QPointer<QWidget> form_;
    CloseQueryEvent previous_;
    bool enabled_ = true;
    TRegLocation location_ = TRegLocation::CurrentUser;
    std::string key_ = "\\Software\\Default";
    bool restored_ = false;
};

} // namespace lorvane
