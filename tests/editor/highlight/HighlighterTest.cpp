// A highlighter shared by several controls: registrations follow the links,
// and whichever side dies first, the other keeps no reference to it.
#include "editor/highlight/Highlighter.h"

#include <gtest/gtest.h>

#include <memory>

using namespace lorvane;

namespace {

class Client : public HighlightClient {
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

TEST(Highlighter, LinksKeepRegistrationsInStepWhicheverSideDiesFirst) {
    auto first = std::make_unique<THighlighter>();
    THighlighter second;
    Client a, b;
    EXPECT_TRUE(a.link.Set(first.get()));
    EXPECT_FALSE(a.link.Set(first.get()));
    b.link.Set(first.get());
    EXPECT_EQ(first->Clients().size(), 2u);
    a.link.Set(&second);
    EXPECT_EQ(first->Clients(), std::vector<HighlightClient*>{&b});
    EXPECT_EQ(second.Clients(), std::vector<HighlightClient*>{&a});
    first->Register(b);
    EXPECT_EQ(first->Clients().size(), 1u) << "registering twice keeps one registration";
    a.link.Set(nullptr);
    EXPECT_TRUE(second.Clients().empty());
    second.Unregister(a); // not registered: nothing happens
    first->RehighlightClients();
    EXPECT_EQ(b.rehighlights, 1);
    EXPECT_EQ(a.rehighlights, 0);

    {
        Client gone;
        gone.link.Set(&second);
        a.link.Set(&second);
    }
    EXPECT_EQ(second.Clients(), std::vector<HighlightClient*>{&a});
    second.RehighlightClients(); // would touch freed memory if `gone` were still registered

    b.link.Set(first.get());
    a.link.Set(first.get());
    first.reset();
    EXPECT_EQ(a.link.Get(), nullptr);
    EXPECT_EQ(b.link.Get(), nullptr);
    EXPECT_EQ(a.destroyedCalls, 1);
    EXPECT_EQ(b.destroyedCalls, 1);
}
