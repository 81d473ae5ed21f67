#include "platform/Fonts.h"

#include <QFont>
#include <QString>

#include <array>
#include <cstdlib>

namespace lorvane {

namespace {

struct FontMapping {
    const char* logical;
    const char* family;
    bool monospace;
};

// Font names compare without regard to case on the desktop these names come
// from; the DejaVu families carry the Cyrillic and box-drawing glyphs.
constexpr std::array<FontMapping, 3> kMappings{{
    {"System", "DejaVu Sans Mono", true},
    {"Terminal", "DejaVu Sans Mono", true},
    {"MS Sans Serif", "DejaVu Sans", false},
}};

const FontMapping* FindMapping(const std::string& name) {
    const QString key = QString::fromStdString(name);
    for (const FontMapping& mapping : kMappings)
        if (key.compare(QLatin1String(mapping.logical), Qt::CaseInsensitive) == 0) return &mapping;
    return nullptr;
}

} // namespace

std::string ResolveFontFamily(const std::string& name) {
    const FontMapping* mapping = FindMapping(name);
    return mapping != nullptr ? mapping->family : name;
}

const std::vector<std::string>& LogicalFontNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> result;
        for (const FontMapping& mapping : kMappings)
            result.emplace_back(mapping.logical);
        return result;
    }();
    return names;
}

QFont MakeFont(const LogicalFont& logical) {
    const FontMapping* mapping = FindMapping(logical.name);
    QFont font(QString::fromStdString(mapping != nullptr ? mapping->family : logical.name));
    if (logical.height != 0)
        font.setPixelSize(std::abs(logical.height));
    else
        font.setPointSize(logical.size > 0 ? logical.size : 10);
    font.setBold((logical.style & fsBold) != 0);
    font.setItalic((logical.style & fsItalic) != 0);
    font.setUnderline((logical.style & fsUnderline) != 0);
    font.setStrikeOut((logical.style & fsStrikeOut) != 0);
    if (logical.fixedPitch || (mapping != nullptr && mapping->monospace)) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::TypeWriter);
    }
    return font;
}

bool IsTerminalFont(const std::string& name) noexcept {
    return name == "Terminal";
}

} // namespace lorvane
