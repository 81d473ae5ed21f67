#pragma once
// The Dialogs seam on real Qt windows, with Russian texts.
#include "platform/Dialogs.h"

#include <QPointer>
#include <QStringList>

#include <string>

namespace lorvane {

class FindReplaceDialog;

// One name filter of a file dialog, translated from a "|"-separated pair.
struct NameFilter {
    QString description; // as the program gave it
    QString qtFilter;    // "description (masks)" as QFileDialog takes it
};

// Splits a "|"-separated filter string into its pairs. Masks become
// case-insensitive globs ("*.asm" -> "*.[aA][sS][mM]") and "*.*" becomes "*";
// a trailing "|" and a description without masks are ignored.
std::vector<NameFilter> TranslateFilter(const std::string& filter);

class QtDialogs final : public Dialogs {
public:
    QtDialogs();
    ~QtDialogs() override;
    QtDialogs(const QtDialogs&) = delete;
    QtDialogs& operator=(const QtDialogs&) = delete;

    MsgResult MessageBox(const std::string& text, const std::string& caption, unsigned buttons,
                         MsgIcon icon) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& value) override;
    std::optional<FileDialogResult> OpenFile(const FileDialogRequest& request) override;
    std::optional<FileDialogResult> SaveFile(const FileDialogRequest& request) override;
    std::optional<FontChoice> ChooseFont(const FontChoice& initial) override;
    std::optional<TColor> ChooseColor(TColor initial) override;
    bool Print(QPrinter& printer, const PrintRequest& request) override;
    bool PrinterSetup(QPrinter& printer) override;
    void ShowFind(const FindOptions& options, FindHandler handler) override;
    void ShowReplace(const FindOptions& options, FindHandler handler) override;
    void CloseFind() override;

    // The open find or replace dialog, for looking at it; null when none is.
    FindReplaceDialog* FindDialog() const noexcept;

private:
    std::optional<FileDialogResult> RunFileDialog(const FileDialogRequest& request, bool save);
    void ShowFindDialog(bool replace, const FindOptions& options, FindHandler handler);

    QPointer<FindReplaceDialog> findDialog_;
};

} // namespace lorvane
