#pragma once
// Every dialog of the program goes through this seam. The Qt implementation
// opens real modal windows; tests install a scripted implementation that
// answers from a queue and records each request, so no test ever blocks.
// All texts are UTF-8.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lorvane {

enum class MsgIcon { None, Information, Warning, Stop, Question };

// Buttons of a message box, combinable.
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
struct FileDialogRequest {
    std::string title;
    std::string filter;
    int filterIndex = 1;
    std::string fileName;
    std::string initialDir;
    std::string defaultExt;
    bool multiSelect = false;
};

struct FileDialogResult {
    std::vector<std::string> files; // one unless multiSelect
    int filterIndex = 1;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual MsgResult MessageBox(const std::string& text, const std::string& caption,
                                 unsigned buttons, MsgIcon icon) = 0;
    // Empty optional when the user cancels.
    virtual std::optional<std::string> InputBox(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& value) = 0;
    virtual std::optional<FileDialogResult> OpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogResult> SaveFile(const FileDialogRequest& request) = 0;

    // The implementation in force: the Qt one unless a test installed another.
    static Dialogs& Current();
    // Installs `dialogs` (not owned); nullptr restores the Qt implementation.
    static void Install(Dialogs* dialogs);
};

} // namespace lorvane
