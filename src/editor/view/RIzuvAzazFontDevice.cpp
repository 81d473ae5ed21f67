#include "editor/view/RIzuvAzazFontDevice.h"

#include "platform/CodePageTables.h"

#include <QFontMetricsF>

#include <cmath>

namespace lorvane {

struct TFontDevice::Face {
    QFont font;
    QFontMetrics metrics;
    std::array<int, 256> advance{};
    bool table = false;

    Face(const QFont& f, const std::array<QChar, 256>& glyphs) : font(f), metrics(f) {
        // The table is exact only when every advance is a whole pixel and a
        // string measures as the sum of its characters (no kerning, no
        // ligatures); otherwise every measurement asks Qt.
        const QFontMetricsF exact(font);
        table = true;
        for (int c = 0; c < 256; ++c) {
            const qreal a = exact.horizontalAdvance(glyphs[static_cast<std::size_t>(c)]);
            advance[static_cast<std::size_t>(c)] = static_cast<int>(std::lround(a));
            if (c >= 32 && std::abs(a - std::round(a)) > 1e-6) table = false;
        }
        if (table) {
            static const char sample[] = "AVAWTeToLTfifflyr.,PAYaVA\xc0\xc2\xd2\xee\xe3\xe4";
            QString s;
            int sum = 0;
            for (const char* p = sample; *p; ++p) {
                const auto b = static_cast<unsigned char>(*p);
                s += glyphs[b];
                sum += advance[b];
            }
            table = metrics.horizontalAdvance(s) == sum;
        }
    }
};

TFontDevice::TFontDevice() {
    SetFonts(QFont(), QFont(), false);
}

TFontDevice::~TFontDevice() = default;

void TFontDevice::SetFonts(const QFont& font, const QFont& altFont, bool oemGlyphs) {
    font_ = font;
    altFont_ = altFont;
    oem_ = oemGlyphs;
    baseStyle_ =
        static_cast<std::uint8_t>((font.bold() ? 0x01 : 0) | (font.italic() ? 0x02 : 0) |
                                  (font.underline() ? 0x04 : 0) | (font.strikeOut() ? 0x08 : 0));
    const auto page = oem_ ? cp::CodePage::Cp866 : cp::CodePage::Win1251;
    for (int c = 0; c < 256; ++c) {
        const char32_t u = cp::ToUnicode(page, static_cast<unsigned char>(c));
        glyphs_[static_cast<std::size_t>(c)] =
            u <= 0xFFFF ? QChar(static_cast<char16_t>(u)) : QChar(0xFFFD);
    }
    for (auto& f : faces_)
        f.reset();
    selected_ = nullptr;
    facesMade_ = 0;
}

TFontDevice::Face& TFontDevice::FaceFor(std::uint8_t style) {
    auto& slot = faces_[static_cast<std::size_t>(KeyOf(style))];
    if (!slot) {
        QFont f = (style & 0x20) ? altFont_ : font_;
        f.setBold((style & 0x01) != 0);
        f.setItalic((style & 0x02) != 0);
        f.setUnderline((style & 0x04) != 0);
        f.setStrikeOut((style & 0x08) != 0);
        // Whole-pixel advances and no shaping keep measuring and drawing in
        // step, byte for byte, at every position of a line.
        f.setHintingPreference(QFont::PreferFullHinting);
        f.setStyleStrategy(QFont::PreferNoShaping);
        slot = std::make_unique<Face>(f, glyphs_);
        ++facesMade_;
    }
    return *slot;
}

void TFontDevice::SelectFont(std::uint8_t style) {
    selected_ = &FaceFor(style);
}

int TFontDevice::TextWidth(const char* text, std::int32_t length) {
    if (!selected_) selected_ = &FaceFor(0);
    if (length <= 0) return 0;
    if (selected_->table) {
        int w = 0;
        const auto* p = reinterpret_cast<const unsigned char*>(text);
        for (std::int32_t i = 0; i < length; ++i)
            w += selected_->advance[p[i]];
        return w;
    }
    return selected_->metrics.horizontalAdvance(ToQString(text, length));
}

void TFontDevice::CharWidths(const char* text, std::int32_t length, int* widths) {
    if (!selected_) selected_ = &FaceFor(0);
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    if (selected_->table) {
        for (std::int32_t i = 0; i < length; ++i)
            widths[i] = selected_->advance[p[i]];
        return;
    }
    for (std::int32_t i = 0; i < length; ++i)
        widths[i] = selected_->metrics.horizontalAdvance(QString(glyphs_[p[i]]));
}

int TFontDevice::CharWidth(unsigned char c) {
    if (!selected_) selected_ = &FaceFor(0);
    return selected_->advance[c];
}

bool TFontDevice::SelectedUsesTable() {
    if (!selected_) selected_ = &FaceFor(0);
    return selected_->table;
}

int TFontDevice::AverageCharWidth() {
    return FaceFor(baseStyle_).advance[' '];
}

int TFontDevice::Ascent() {
    return FaceFor(baseStyle_).metrics.ascent();
}

const QFont& TFontDevice::FontFor(std::uint8_t style) {
    return FaceFor(style).font;
}

const QFontMetrics& TFontDevice::MetricsFor(std::uint8_t style) {
    return FaceFor(style).metrics;
}

QString TFontDevice::ToQString(const char* text, std::int32_t length) const {
    QString s(length, Qt::Uninitialized);
    QChar* out = s.data();
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    for (std::int32_t i = 0; i < length; ++i)
        out[i] = glyphs_[p[i]];
    return s;
}

} // namespace lorvane
