#pragma once
// The program's icon in the desktop's notification area. While the frame
// is minimised it is taken off the task bar and only the icon stays; a
// click or a double click on the icon brings it back.
//
// Desktops without a notification area exist (and every test runs
// without one). There the frame is never hidden on minimising: a window
// hidden with no icon to bring it back could only be killed, with its
// unsaved text.
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QMenu;
class QWidget;

namespace lorvane {

class TTrayIcon final : public QObject {
    Q_OBJECT
public:
    enum class TMouseButton : std::uint8_t { Left, Right, Middle };
    // Shift-state flags of the mouse events.
    static constexpr std::uint8_t ssShift = 0x01;
    static constexpr std::uint8_t ssAlt = 0x02;
    static constexpr std::uint8_t ssCtrl = 0x04;
    static constexpr std::uint8_t ssLeft = 0x08;
    static constexpr std::uint8_t ssRight = 0x10;
    static constexpr std::uint8_t ssMiddle = 0x20;

    // Mouse messages of the icon, numbered as the desktop reports them.
    enum MouseMessage : std::uint16_t {
        WmMouseMove = 0x0200,
        WmLButtonDown = 0x0201,
        WmLButtonUp = 0x0202,
        WmLButtonDblClk = 0x0203,
        WmRButtonDown = 0x0204,
        WmRButtonUp = 0x0205,
        WmRButtonDblClk = 0x0206,
        WmMButtonDown = 0x0207,
        WmMButtonUp = 0x0208,
        WmMButtonDblClk = 0x0209,
    };
    static constexpr std::size_t kTipLength = 63;

    using NotifyEvent = std::function<void(TTrayIcon* sender)>;
    using MouseEvent = std::function<void(TTrayIcon* sender, TMouseButton button,
                                          std::uint8_t shift, int x, int y)>;
    using MouseMoveEvent = std::function<void(TTrayIcon* sender, std::uint8_t shift, int x, int y)>;

    // `window` is the application's window the icon hides and restores.
    explicit TTrayIcon(QWidget* window);
    ~TTrayIcon() override;
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    // Whether the desktop shows the icon at all.
    bool Available() const noexcept { return available_; }

    bool visible = true; // the window is on screen, not only the icon
    QMenu* PopupMenu = nullptr;
    NotifyEvent OnClick, OnDblClick, OnDblClickLeft, OnDblClickRigth, OnDblClickMid;
    NotifyEvent OnMinimize, OnRestore;
    MouseMoveEvent OnMouseMove;
    MouseEvent OnMouseDown, OnMouseUp;

    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(const std::string& value);
    const std::string& Title() const noexcept { return title_; }
    void SetTitle(const std::string& value);
    const QIcon& Icon() const noexcept { return icon_; }
    void SetIcon(const QIcon& icon);

    // The tip the icon shows and whether it shows one.
    const std::string& Tip() const noexcept { return tip_; }
    bool HasTip() const noexcept { return tipShown_; }

    void Minimize();
    void Restore();
    void PopupAtCursor();
    void Click();
    void MouseMove(std::uint8_t shift, int x, int y);
    void MouseDown(TMouseButton button, std::uint8_t shift, int x, int y);
    void MouseUp(TMouseButton button, std::uint8_t shift, int x, int y);

    // One mouse message of the icon, with the keyboard's shift keys and
    // the cursor's position at the moment it is handled.
    void HandleMouseMessage(std::uint16_t message);

private:
    void ModifyIcon();
    void Activated(QSystemTrayIcon::ActivationReason reason);

    QPointer<QWidget> window_;
    std::unique_ptr<QSystemTrayIcon> iconObject_;
    QIcon icon_;
    std::string hint_, title_, tip_;
    bool tipShown_ = false;
    bool available_ = false;
    bool leftDown_ = false;
};

} // namespace lorvane
