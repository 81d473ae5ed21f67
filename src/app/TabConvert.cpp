#include "app/TabConvert.h"

namespace lorvane {

std::string TabsToSpaces(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (char c : line) {
        if (c == '\t')
            out.append(kTabWidth - out.size() % kTabWidth, ' ');
        else
            out.push_back(c);
    }
    return out;
}

std::string SpacesToTabs(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    std::size_t run = 0;
    for (char c : line) {
        if (c == ' ') {
            if (run++ % kTabWidth == 0) out.push_back('\t');
            continue;
        }
        run = 0;
        out.push_back(c);
    }
    return out;
}

} // namespace lorvane
