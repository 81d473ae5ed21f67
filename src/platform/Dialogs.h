#pragma once
// Every dialog of the program goes through this seam. The Qt implementation
// opens real windows; tests install a scripted implementation that answers
// from a queue and records each request, so no test ever blocks.
// All texts are UTF-8.
#include "platform/Colors.h"
#include "platform/Fonts.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPrinter;

namespace lorvane {

enum class MsgIcon { None, Information, Warning, Stop, Question };

// Buttons of a message box, combinable. No button at all means OK.
enum MsgButton : unsigned {
    mbOK = 1u << 0,
    mbCancel = 1u << 1,
    mbYes = 1u << 2,
    mbNo = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
};

enum class MsgResult { OK, Cancel, Yes, No, Abort, Retry, Ignore };

// Open and save dialogs. `filter` is a "|"-separated list of description and
// pattern pairs ("Ассемблер (*.asm)|*.asm|Все файлы (*.*)|*.*"); a pattern
// may hold several masks separated by ';'. filterIndex counts from 1.
// Masks match without regard to case, and "*.*" matches every file, also
// one without an extension.
struct FileDialogRequest {
    std::string title;
    std::string filter;
    int filterIndex = 1;
    std::string fileName;
    std::string initialDir;
    std::string defaultExt;
    bool multiSelect = false;
    bool overwritePrompt = true; // save only: ask before replacing a file
};

struct FileDialogResult {
    std::vector<std::string> files; // one unless multiSelect
    int filterIndex = 1;
};

// The font dialog's preset and answer: a logical name (see Fonts.h), size in
// points, style bits and colour.
struct FontChoice {
    std::string name;
    int size = 10;
    unsigned style = 0;
    TColor color = clBlack;
};

struct PrintRequest {
    int minPage = 1;
    int maxPage = 1000;
};

// The state of the find and replace dialogs. `down` is the search direction
// (the replace dialog has no direction of its own and keeps the one given).
struct FindOptions {
    std::string findText;
    std::string replaceText;
    bool matchCase = false;
    bool wholeWord = false;
    bool down = true;
};

// What the user asked for in a find or replace dialog that stays open:
// Find is "find next" (both dialogs); Replace and ReplaceAll come from the
// replace dialog only.
enum class FindAction { Find, Replace, ReplaceAll };

struct FindEvent {
    FindAction action = FindAction::Find;
    FindOptions options;
};

using FindHandler = std::function<void(const FindEvent&)>;

class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual MsgResult MessageBox(const std::string& text, const std::string& caption,
                                 unsigned buttons, MsgIcon icon) = 0;
    // Empty optional when the user cancels.
    virtual std::optional<std::string>
    InputBox(const std::string& caption, const std::string& prompt, const std::string& value) = 0;
    virtual std::optional<FileDialogResult> OpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogResult> SaveFile(const FileDialogRequest& request) = 0;

    // Modal; empty optional when cancelled.
    virtual std::optional<FontChoice> ChooseFont(const FontChoice& initial) = 0;
    virtual std::optional<TColor> ChooseColor(TColor initial) = 0;
    // Modal; true when confirmed. The dialogs configure `printer`, which the
    // caller owns and then prints on.
    virtual bool Print(QPrinter& printer, const PrintRequest& request) = 0;
    virtual bool PrinterSetup(QPrinter& printer) = 0;

    // Modeless: the dialog shows (or, when already shown, comes forward with
    // the given options) and returns at once; every button the user presses
    // while it stays open is reported to `handler`. Showing one of the two
    // closes the other.
    virtual void ShowFind(const FindOptions& options, FindHandler handler) = 0;
    virtual void ShowReplace(const FindOptions& options, FindHandler handler) = 0;
    // Closes whichever of the two is open; nothing when none is.
    virtual void CloseFind() = 0;

    // The implementation in force: the Qt one unless a test installed another.
    static Dialogs& Current();
    // Installs `dialogs` (not owned); nullptr restores the Qt implementation.
    static void Install(Dialogs* dialogs);
    // What a test installed, or nullptr.
    static Dialogs* Installed() noexcept;
};

} // namespace lorvane
