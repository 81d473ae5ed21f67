#pragma once
// The TextDevice of the widget: Qt fonts for every style byte, measured
// through a per-face table of the 256 byte advances when the face draws
// bytes at whole-pixel advances with no kerning, and through QFontMetrics
// otherwise. It also turns document bytes into the characters Qt draws:
// Windows-1251 normally, code page 866 for the "Terminal" font.
#include "editor/model/TextDevice.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

namespace lorvane {

class TFontDevice : public TextDevice {
public:
    TFontDevice();
    ~TFontDevice() override;

    // The control's font and its alternate font (style bit 5). Faces for the
    // other style bits are derived from these when first asked for.
    void SetFonts(const QFont& font, const QFont& altFont, bool oemGlyphs);
    // The control's line height; the model sizes its view with it.
    void SetLineHeight(int height) noexcept { lineHeight_ = height; }

    void SelectFont(std::uint8_t style) override;
    int TextWidth(const char* text, std::int32_t length) override;
    void CharWidths(const char* text, std::int32_t length, int* widths) override;
    int AverageCharWidth() override;
    int LineHeight() override { return lineHeight_; }
    int Ascent() override;

    // The face of a style byte (bits 0-3 and 5 matter), for drawing.
    const QFont& FontFor(std::uint8_t style);
    const QFontMetrics& MetricsFor(std::uint8_t style);
    const QFontMetrics& BaseMetrics() { return MetricsFor(baseStyle_); }
    // Style bits of the control's font itself (bold, italic, underline, strike-out).
    std::uint8_t BaseStyle() const noexcept { return baseStyle_; }
    // Width of one byte in the face of the selected style.
    int CharWidth(unsigned char c);
    // True when the selected face is measured by table lookups.
    bool SelectedUsesTable();

    // Document bytes as the characters to draw.
    QString ToQString(const char* text, std::int32_t length) const;
    QChar GlyphOf(unsigned char c) const noexcept { return glyphs_[c]; }
    bool OemGlyphs() const noexcept { return oem_; }

    // Faces made so far; a font change starts again from none.
    int FacesMade() const noexcept { return facesMade_; }

private:
    struct Face;
    Face& FaceFor(std::uint8_t style);
    static int KeyOf(std::uint8_t style) noexcept { return (style & 0x0F) | ((style & 0x20) >> 1); }

    QFont font_;
    QFont altFont_;
    bool oem_ = false;
    std::array<QChar, 256> glyphs_{};
    std::array<std::unique_ptr<Face>, 32> faces_;
    Face* selected_ = nullptr;
    int lineHeight_ = 16;
    int facesMade_ = 0;
    std::uint8_t baseStyle_ = 0;
};

} // namespace lorvane
