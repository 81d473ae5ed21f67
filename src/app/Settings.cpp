#include "app/Settings.h"

#include "platform/CodePageTables.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"

#include <array>
#include <filesystem>
#include <iterator>
#include <system_error>

namespace lorvane {
namespace {

constexpr std::string_view kColors = "COLORS";
constexpr std::string_view kBackgroundKey = "Цвет фона";
constexpr std::string_view kFontColorKey = "Цвет шрифта";
constexpr std::string_view kFont = "FONT";
constexpr std::string_view kFontNameKey = "Имя шрифта";
constexpr std::string_view kFontSizeKey = "Размер шрифта";
constexpr std::string_view kNoBackupSection = "NOBAK";
constexpr std::string_view kNoBackupKey = "Не создавать .BAK файл";
constexpr std::string_view kTools = "ASSEMBLER";
constexpr std::string_view kRun = "RUNEXE";
constexpr std::string_view kRunKey = "Программа";

// The seven tool keys in the order the file has always listed them.
struct ToolKey {
    std::string_view key;
    std::string ToolSettings::*field;
};
constexpr ToolKey kToolKeys[] = {
    {"Ассемблер", &ToolSettings::assemblerPath},
    {"Линкер", &ToolSettings::linkerPath},
    {"Расширение файла компилятора", &ToolSettings::compilerExtension},
    {"Расширение объектного файла", &ToolSettings::objectExtension},
    {"Программа запуска", &ToolSettings::runProgram},
    {"Расширение скомпилированного файла", &ToolSettings::compiledExtension},
    {"Расширение файла листинга", &ToolSettings::listingExtension},
};

// The file format drops surrounding blanks and one pair of surrounding
// quotes when it reads a value; such a value is written inside one more
// pair of quotes so that it reads back as it was (a quoted program path
// with a space in it, say).
std::string Stored(std::string_view value) {
    if (value.empty()) return {};
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (quoted || blank(value.front()) || blank(value.back()))
        return "\"" + std::string(value) + "\"";
    return std::string(value);
}

// A command or extension as the file can hold it, or an error naming the
// key: a letter beyond Windows-1251 would come back as "?" and a line
// break would split the line, so either would store a different command.
std::string Checked(std::string_view value, std::string_view key) {
    const auto refuse = [&](const char* why) {
        throw Error("Значение \"" + std::string(key) + "\" (" + std::string(value) +
                    ") нельзя записать в файл настроек: " + why);
    };
    if (value.find_first_of("\r\n") != std::string_view::npos) refuse("в нём перевод строки");
    if (cp::DecodeToUtf8(cp::CodePage::Win1251, cp::EncodeFromUtf8(cp::CodePage::Win1251, value)) !=
        value)
        refuse("символы вне кодировки Windows-1251");
    // Reading gives back at most this many characters.
    if (cp::EncodeFromUtf8(cp::CodePage::Win1251, value).size() > ProfileFile::kMaxStringLength)
        refuse("оно длиннее 1023 символов");
    return Stored(value);
}

std::string OwnExecutable() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("lorvane") : path.string();
}

} // namespace

Settings::Settings(std::string programPath)
    : programPath_(programPath.empty() ? OwnExecutable() : std::move(programPath)) {
    Recompute();
}

std::string Settings::SettingsFileNameFor(std::string_view programPath) {
    const auto slash = programPath.find_last_of('/');
    std::string_view name =
        slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::string(name) + ".INI";
}

std::string Settings::SettingsFilePath() const {
    return paths::ResolveBareName(settingsFileName_);
}

void Settings::Recompute() {
    settingsFileName_ = SettingsFileNameFor(programPath_);
}

DocumentLook Settings::DocumentAppearance() {
    Recompute();
    const ProfileFile file(settingsFileName_);
    backgroundColor_ = file.ReadInteger(kColors, kBackgroundKey, backgroundColor_);
    fontColor_ = file.ReadInteger(kColors, kFontColorKey, fontColor_);
    DocumentLook look;
    look.fontName = file.ReadString(kFont, kFontNameKey, "");
    look.fontSize = file.ReadInteger(kFont, kFontSizeKey, kDefaultFontSize);
    // A size of zero or below would make the text invisible or the font
    // unusable; it is treated like a missing one.
    if (look.fontSize <= 0) look.fontSize = kDefaultFontSize;
    noBackup_ = file.ReadBool(kNoBackupSection, kNoBackupKey, noBackup_);
    look.fontColor = fontColor_;
    look.backgroundColor = backgroundColor_;
    return look;
}

void Settings::ReadToolSettings() {
    Recompute();
    const ProfileFile file(settingsFileName_);
    for (const ToolKey& key : kToolKeys)
        tools_.*key.field = file.ReadString(kTools, key.key, tools_.*key.field);
}

void Settings::ReadNoBackup() {
    Recompute();
    noBackup_ = ProfileFile(settingsFileName_).ReadBool(kNoBackupSection, kNoBackupKey, noBackup_);
}

bool Settings::RecognizeCodePages() {
    Recompute();
    return ProfileFile(settingsFileName_).ReadBool("CODEPAGE", "Распознавать кодировку", true);
}

std::string Settings::ReadRunProgram() {
    Recompute();
    return ProfileFile(settingsFileName_).ReadString(kRun, kRunKey, "");
}

void Settings::WriteFont(std::string_view fontName, int fontSize, TColor fontColor) {
    fontColor_ = fontColor;
    ProfileFile file(settingsFileName_);
    file.WriteInteger(kColors, kFontColorKey, fontColor);
    file.WriteString(kFont, kFontNameKey, Stored(fontName));
    file.WriteInteger(kFont, kFontSizeKey, fontSize);
}

void Settings::WriteBackgroundColor(TColor backgroundColor, TColor editorFontColor) {
    backgroundColor_ = backgroundColor;
    fontColor_ = editorFontColor;
    ProfileFile(settingsFileName_).WriteInteger(kColors, kBackgroundKey, backgroundColor);
}

void Settings::WriteNoBackup(bool noBackup) {
    noBackup_ = noBackup;
    ProfileFile(settingsFileName_).WriteBool(kNoBackupSection, kNoBackupKey, noBackup);
}

void Settings::WriteToolSettings(const ToolSettings& tools) {
    // All seven are checked before any is written, so a refusal leaves the
    // file with the previous set, not half of each.
    std::array<std::string, std::size(kToolKeys)> stored;
    for (std::size_t i = 0; i < std::size(kToolKeys); ++i)
        stored[i] = Checked(tools.*kToolKeys[i].field, kToolKeys[i].key);
    tools_ = tools;
    ProfileFile file(settingsFileName_);
    for (std::size_t i = 0; i < std::size(kToolKeys); ++i)
        file.WriteString(kTools, kToolKeys[i].key, stored[i]);
}

void Settings::WriteRunProgram(std::string_view commandLine) {
    ProfileFile(settingsFileName_).WriteString(kRun, kRunKey, Checked(commandLine, kRunKey));
}

} // namespace lorvane
