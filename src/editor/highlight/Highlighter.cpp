#include "editor/highlight/Highlighter.h"

#include <algorithm>

namespace lorvane {

THighlighter::~THighlighter() {
    // Taken out first, so a client that unregisters from inside its
    // notification cannot disturb the walk.
    std::vector<HighlightClient*> clients = std::move(clients_);
    clients_.clear();
    for (HighlightClient* client : clients)
        client->HighlighterDestroyed();
}

void THighlighter::Register(HighlightClient& client) {
    if (std::find(clients_.begin(), clients_.end(), &client) == clients_.end())
        clients_.push_back(&client);
}

void THighlighter::Unregister(HighlightClient& client) noexcept {
    const auto it = std::find(clients_.begin(), clients_.end(), &client);
    if (it != clients_.end()) clients_.erase(it);
}

void THighlighter::RehighlightClients() {
    // A copy: a control may change its highlighter while it rebuilds.
    const std::vector<HighlightClient*> clients = clients_;
    for (HighlightClient* client : clients) {
        if (std::find(clients_.begin(), clients_.end(), client) != clients_.end())
            client->Rehighlight();
    }
}

void THighlighter::KeywordHook(TNavigator&, TNavigator&, int) {}

void THighlighter::ContextClick(std::int32_t, const std::string&, bool) {}

bool THighlighter::StartHook(TNavigator&, TNavigator&, int) {
    return false;
}

bool THighlighter::StopHook(TNavigator&, TNavigator&, int) {
    return false;
}

HighlighterLink::~HighlighterLink() {
    if (highlighter_) highlighter_->Unregister(owner_);
}

bool HighlighterLink::Set(THighlighter* highlighter) {
    if (highlighter == highlighter_) return false;
    if (highlighter) highlighter->Register(owner_); // may throw; nothing changed yet
    if (highlighter_) highlighter_->Unregister(owner_);
    highlighter_ = highlighter;
    return true;
}

} // namespace lorvane
