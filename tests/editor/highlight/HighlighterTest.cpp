#include "editor/highlight/Highlighter.h"

#include <gtest/gtest.h>

#include <memory>

using namespace lorvane;

namespace {

// A stand-in for a control: holds its highlighter through a link.
class FakeControl : public HighlightClient {
public:
    void HighlighterDestroyed() noexcept override {
        ++destroyedCalls;
        link.Forget();
    }
    void Rehighlight() override { ++rehighlights; }

    HighlighterLink link{*this};
    int destroyedCalls = 0;
    int rehighlights = 0;
};

} // namespace

TEST(Highlighter, LinkKeepsRegistrationsInStep) {
    THighlighter first;
    THighlighter second;
    FakeControl a;
    FakeControl b;
    EXPECT_TRUE(a.link.Set(&first));
    EXPECT_FALSE(a.link.Set(&first));
    b.link.Set(&first);
    EXPECT_EQ(first.Clients().size(), 2u);
    a.link.Set(&second);
    EXPECT_EQ(first.Clients(), std::vector<HighlightClient*>{&b});
    EXPECT_EQ(second.Clients(), std::vector<HighlightClient*>{&a});
    first.Register(b);
    EXPECT_EQ(first.Clients().size(), 1u) << "registering twice keeps one registration";
    a.link.Set(nullptr);
    EXPECT_TRUE(second.Clients().empty());
    second.Unregister(a); // not registered: nothing happens
    first.RehighlightClients();
    EXPECT_EQ(b.rehighlights, 1);
    EXPECT_EQ(a.rehighlights, 0);
}

TEST(Highlighter, DestroyingTheHighlighterClearsEveryControlsReference) {
    FakeControl a;
    FakeControl b;
    {
        auto highlighter = std::make_unique<THighlighter>();
        a.link.Set(highlighter.get());
        b.link.Set(highlighter.get());
    }
    EXPECT_EQ(a.link.Get(), nullptr);
    EXPECT_EQ(b.link.Get(), nullptr);
    EXPECT_EQ(a.destroyedCalls, 1);
    EXPECT_EQ(b.destroyedCalls, 1);
}

TEST(Highlighter, AControlDestroyedFirstUnregistersItself) {
    THighlighter highlighter;
    {
        FakeControl gone;
        gone.link.Set(&highlighter);
        EXPECT_EQ(highlighter.Clients().size(), 1u);
    }
    EXPECT_TRUE(highlighter.Clients().empty());
    highlighter.RehighlightClients(); // would touch freed memory if still registered
}
