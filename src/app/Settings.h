#pragma once
// The settings file: colours and font of new documents, the backup switch,
// the seven build-tool settings and the last program run by hand, in one
// Windows-1251 INI file named after the executable ("lorvane.INI") in the
// configuration directory.
//
// The held values start as below and are only ever replaced by what the
// file holds or what the user sets: a missing key keeps the held value.
// Reading never fails; a write the system refuses raises IoError naming
// the file.
#include "platform/Colors.h"

#include <string>
#include <string_view>

namespace lorvane {

struct ToolSettings {
    std::string assemblerPath;
    std::string linkerPath;
    std::string compilerExtension; // extensions keep their leading dot
    std::string objectExtension;
    std::string runProgram;
    std::string compiledExtension;
    std::string listingExtension;

    friend bool operator==(const ToolSettings&, const ToolSettings&) = default;
};

// What a new document's editor takes from the settings file.
struct DocumentLook {
    std::string fontName; // empty: the editor keeps its font name
    int fontSize = 10;    // points
    TColor fontColor = clBlack;
    TColor backgroundColor = clBlack;
};

class Settings {
public:
    static constexpr int kDefaultFontSize = 10;
    // A document window's own text colour; the held font colour starts with
    // it so that, without a settings file, text is not black on black.
    static constexpr TColor kDocumentFontColor = clAqua;

    // programPath: the executable the file is named after; empty means
    // this process's own.
    explicit Settings(std::string programPath = {});

    // "<executable name>.INI": the directory is dropped and the extension,
    // if any, replaced; a leading dot does not start an extension.
    static std::string SettingsFileNameFor(std::string_view programPath);
    // The bare name last computed (every read recomputes it).
    const std::string& SettingsFileName() const noexcept { return settingsFileName_; }
    // Where that name lives now (the configuration directory).
    std::string SettingsFilePath() const;

    TColor BackgroundColor() const noexcept { return backgroundColor_; }
    TColor FontColor() const noexcept { return fontColor_; }
    bool NoBackup() const noexcept { return noBackup_; }
    const ToolSettings& Tools() const noexcept { return tools_; }

    // For a new document window: reads colours and the backup switch into
    // the held values and returns what the editor must apply. A missing or
    // nonsensical font size gives 10, whatever an earlier document used.
    DocumentLook DocumentAppearance();
    // The seven build-tool settings, each keeping its held value when
    // missing. Run at every activation of the frame, after opening by name
    // and before the working-settings dialog.
    void ReadToolSettings();
    // The backup switch alone, read at every activation after the tools.
    void ReadNoBackup();
    // Whether an opened file's code page (866, KOI8-R) is guessed and shown
    // in its display mode: on unless the "CODEPAGE" section says 0.
    bool RecognizeCodePages();
    // The program last run by hand (empty when none).
    std::string ReadRunProgram();

    // Writes, each when the user confirms the command; they use the name
    // last computed. The held values change even when the write fails.
    // Commands and extensions the file cannot hold as they are (a line
    // break, a letter beyond Windows-1251) raise Error before anything is
    // written or held.
    void WriteFont(std::string_view fontName, int fontSize, TColor fontColor);
    // The background-colour command also takes the editor's font colour
    // into the held value, but stores only the background.
    void WriteBackgroundColor(TColor backgroundColor, TColor editorFontColor);
    void WriteNoBackup(bool noBackup);
    void WriteToolSettings(const ToolSettings& tools);
    void WriteRunProgram(std::string_view commandLine);

private:
    void Recompute();

    std::string programPath_;
    std::string settingsFileName_;
    TColor backgroundColor_ = clBlack;
    TColor fontColor_ = kDocumentFontColor;
    bool noBackup_ = false;
    ToolSettings tools_;
};

} // namespace lorvane
