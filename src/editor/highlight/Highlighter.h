#pragma once
// A highlighter is a component any number of controls may share. It keeps
// the controls that use it, so that destroying it clears every control's
// reference, and it may add highlighting of its own through three hooks the
// control's passes call.
#include <cstdint>
#include <string>
#include <vector>

namespace lorvane {

class TNavigator;

// What a control offers the highlighter it uses. The text model and the
// widget implement it.
class HighlightClient {
public:
    // The highlighter is being destroyed: forget it without unregistering.
    virtual void HighlighterDestroyed() noexcept = 0;
    // The highlighter's rules changed: discard and rebuild the highlighting.
    virtual void Rehighlight() = 0;

protected:
    HighlightClient() = default;
    HighlightClient(const HighlightClient&) = default;
    HighlightClient& operator=(const HighlightClient&) = default;
    ~HighlightClient() = default;
};

class THighlighter {
public:
    THighlighter() = default;
    THighlighter(const THighlighter&) = delete;
    THighlighter& operator=(const THighlighter&) = delete;
    virtual ~THighlighter();

    // Registering twice keeps one registration; unregistering an unknown
    // client does nothing.
    void Register(HighlightClient& client);
    void Unregister(HighlightClient& client) noexcept;
    const std::vector<HighlightClient*>& Clients() const noexcept { return clients_; }
    // Tells every registered control to rebuild its highlighting.
    void RehighlightClients();

    // Hooks, each given the pass's from and to (limit) navigators and the
    // number of entries in the control's own list (keywords for the first,
    // start/stop entries for the others), so that the highlighter numbers its
    // own entries after the control's.
    //
    // Called at the start of every keyword pass.
    virtual void KeywordHook(TNavigator& from, TNavigator& to, int keywordCount);
    // Asked for a range start when the control's own keys found none; returns
    // true when it wrote a state of its own (a non-negative stack entry).
    virtual bool StartHook(TNavigator& from, TNavigator& to, int startStopCount);
    // Asked for the end of a range the highlighter opened.
    virtual bool StopHook(TNavigator& from, TNavigator& to, int startStopCount);
    // A click (left or right) on a highlighted item with a context number:
    // the number and the item's whole text.
    virtual void ContextClick(std::int32_t context, const std::string& text, bool rightButton);

private:
    std::vector<HighlightClient*> clients_;
};

// The control's end of the relation: holds the highlighter it uses and keeps
// the registration in step, also when the control goes away first.
class HighlighterLink {
public:
    explicit HighlighterLink(HighlightClient& owner) noexcept : owner_(owner) {}
    ~HighlighterLink();
    HighlighterLink(const HighlighterLink&) = delete;
    HighlighterLink& operator=(const HighlighterLink&) = delete;

    THighlighter* Get() const noexcept { return highlighter_; }
    // Unregisters from the old highlighter and registers with the new one;
    // returns false when nothing changed.
    bool Set(THighlighter* highlighter);
    // For the owner's HighlighterDestroyed: the highlighter is gone already.
    void Forget() noexcept { highlighter_ = nullptr; }

private:
    HighlightClient& owner_;
    THighlighter* highlighter_ = nullptr;
};

} // namespace lorvane
