#include "platform/Colors.h"
#include "platform/FontPickerDialog.h"
#include "platform/Fonts.h"

#include <QColor>
#include <QFont>
#include <QFontInfo>
#include <QPalette>

#include <gtest/gtest.h>

namespace lorvane {
namespace {

TEST(Colors, RgbValuesKeepTheirByteOrderBothWays) {
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(clAqua), QColor(0, 255, 255));
    EXPECT_EQ(ToQColor(0x563412), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(FromQColor(QColor(0x12, 0x34, 0x56)), 0x563412);
    EXPECT_EQ(FromQColor(QColor(0x12, 0x34, 0x56, 0x80)), 0x563412);
    EXPECT_EQ(FromQColor(QColor::fromHsv(0, 255, 255)), clRed);
    for (TColor c : {clBlack, clMaroon, clOlive, clNavy, clTeal, clSilver, clLime, clWhite})
        EXPECT_EQ(FromQColor(ToQColor(c)), c);
}

TEST(Colors, SystemColoursAreSignedIntegersAndFollowThePalette) {
    // How settings files store them.
    EXPECT_EQ(clInactiveCaptionText, -2147483629);
    EXPECT_EQ(clWindow, static_cast<TColor>(0x80000005u));
    EXPECT_TRUE(IsSystemColor(clHighlight));
    EXPECT_FALSE(IsSystemColor(clWhite));

    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Base, QColor(1, 1, 1));
    palette.setColor(QPalette::Active, QPalette::Text, QColor(2, 2, 2));
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(3, 3, 3));
    palette.setColor(QPalette::Active, QPalette::HighlightedText, QColor(4, 4, 4));
    palette.setColor(QPalette::Active, QPalette::Button, QColor(5, 5, 5));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(6, 6, 6));
    palette.setColor(QPalette::Active, QPalette::Midlight, QColor(7, 7, 7));
    EXPECT_EQ(ToQColor(clWindow, palette), QColor(1, 1, 1));
    EXPECT_EQ(ToQColor(clWindowText, palette), QColor(2, 2, 2));
    EXPECT_EQ(ToQColor(clHighlight, palette), QColor(3, 3, 3));
    EXPECT_EQ(ToQColor(clHighlightText, palette), QColor(4, 4, 4));
    EXPECT_EQ(ToQColor(clBtnFace, palette), QColor(5, 5, 5));
    EXPECT_EQ(ToQColor(clGrayText, palette), QColor(6, 6, 6));
    EXPECT_EQ(ToQColor(clInactiveCaptionText, palette), QColor(7, 7, 7));
    // Every known system colour resolves against the application's palette.
    for (int index = 0; index < sciSystemColorCount; ++index)
        EXPECT_TRUE(ToQColor(SystemColor(static_cast<std::uint8_t>(index))).isValid()) << index;
}

TEST(Colors, WhatIsNoColourGivesAnInvalidQColor) {
    EXPECT_FALSE(ToQColor(SystemColor(sciSystemColorCount)).isValid());
    EXPECT_FALSE(ToQColor(static_cast<TColor>(0x800000FFu)).isValid());
    EXPECT_FALSE(ToQColor(clNone).isValid());
    EXPECT_FALSE(ToQColor(clDefault).isValid());
    EXPECT_FALSE(ToQColor(0x02FFFFFF).isValid());
}

TEST(Fonts, LogicalNamesResolveToInstalledFamilies) {
    EXPECT_EQ(ResolveFontFamily("System"), "DejaVu Sans Mono");
    EXPECT_EQ(ResolveFontFamily("terminal"), "DejaVu Sans Mono");
    EXPECT_EQ(ResolveFontFamily("MS Sans Serif"), "DejaVu Sans");
    EXPECT_EQ(ResolveFontFamily("Courier New"), "Courier New");

    EXPECT_TRUE(IsTerminalFont("Terminal"));
    EXPECT_FALSE(IsTerminalFont("terminal"));
    EXPECT_FALSE(IsTerminalFont("Terminal "));

    const QFont system = MakeFont({"System", -13, 0, 0, false});
    EXPECT_EQ(system.pixelSize(), 13);
    const QFontInfo info(system);
    EXPECT_EQ(info.family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_TRUE(info.fixedPitch());
    EXPECT_EQ(QFontInfo(MakeFont({"MS Sans Serif", 11, 0, 0, false})).family(),
              QStringLiteral("DejaVu Sans"));

    const QFont styled = MakeFont({"DejaVu Sans", 0, 12, fsBold | fsUnderline | fsStrikeOut, true});
    EXPECT_EQ(styled.pointSize(), 12);
    EXPECT_TRUE(styled.bold());
    EXPECT_FALSE(styled.italic());
    EXPECT_TRUE(styled.underline());
    EXPECT_TRUE(styled.strikeOut());
    EXPECT_TRUE(styled.fixedPitch());
    EXPECT_TRUE(MakeFont({"Terminal", 0, 10, fsItalic, false}).italic());
}

TEST(FontPicker, GivesBackWhatItWasPresetWith) {
    // Including a logical name no family carries and a colour outside the
    // dialog's list: confirming unchanged must not alter either.
    FontPickerDialog dialog;
    const FontChoice preset{"Terminal", 14, fsBold | fsItalic | fsUnderline, RgbColor(1, 2, 3)};
    dialog.SetChoice(preset);
    const FontChoice back = dialog.Choice();
    EXPECT_EQ(back.name, "Terminal");
    EXPECT_EQ(back.size, 14);
    EXPECT_EQ(back.style, preset.style);
    EXPECT_EQ(back.color, preset.color);
}

} // namespace
} // namespace lorvane
