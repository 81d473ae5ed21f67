#pragma once
// TConvert: converts lines of text between the five code pages with
// RecodeString, and loads and saves such lines as text files (optionally
// keeping the previous file as "<name>.bak"). The frame owns one and uses it
// to switch a document between DOS, KOI8 and Windows text; LoadFile and
// SaveFile serve any host. File steps never throw: they return false and
// leave the errno of the failing step in FileError.
#include "codepage/CodePageLetters.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane {

class TConvert;
using TConvertEvent = std::function<void(TConvert& sender)>;
// Lines of Windows-1251 (or whatever code page they are in) bytes.
using TLines = std::vector<std::string>;

class TConvert {
public:
    // onCreate, when given, is called once at the end of construction.
    explicit TConvert(const TConvertEvent& onCreate = {});
    virtual ~TConvert() = default;
    TConvert(const TConvert&) = delete;
    TConvert& operator=(const TConvert&) = delete;

    TConvType ConvertFrom() const noexcept { return convertFrom_; }
    void SetConvertFrom(TConvType page) noexcept { convertFrom_ = page; }
    TConvType ConvertTo() const noexcept { return convertTo_; }
    void SetConvertTo(TConvType page) noexcept { convertTo_ = page; }

    const TLines& DateFrom() const noexcept { return dateFrom_; }
    // Copies the given lines into the component's own list.
    virtual void SetDateFrom(const TLines& lines);
    const TLines& DateTo() const noexcept { return dateTo_; }
    int FileError() const noexcept { return fileError_; }

    // A whole text as the shell holds it, lines separated by CR LF. The two
    // are exact inverses: splitting happens only at CR LF, joining puts CR LF
    // between lines (not after the last), so a text passes through Convert
    // with its line breaks as they were. An empty text is no lines.
    std::string DateFromText() const;
    void SetDateFromText(std::string_view text);
    std::string DateToText() const;

    const TConvertEvent& OnDoneConvert() const noexcept { return onDoneConvert_; }
    void SetOnDoneConvert(TConvertEvent handler) { onDoneConvert_ = std::move(handler); }
    const TConvertEvent& OnStartConvert() const noexcept { return onStartConvert_; }
    void SetOnStartConvert(TConvertEvent handler) { onStartConvert_ = std::move(handler); }
    const TConvertEvent& OnCreate() const noexcept { return onCreate_; }
    void SetOnCreate(TConvertEvent handler) { onCreate_ = std::move(handler); }

    // DateTo := DateFrom converted line by line. OnStartConvert always runs;
    // OnDoneConvert only when there was at least one line.
    virtual void ConvertPages(TConvType from, TConvType to);
    // ConvertPages(ConvertFrom, ConvertTo).
    virtual void Convert();
    virtual void CopyToFrom(); // DateFrom := DateTo
    virtual void CopyFromTo(); // DateTo := DateFrom

    // Reads a text file into DateFrom. A line ends at CR or CR LF; an LF
    // without CR belongs to the line; the first Ctrl+Z ends the file. With
    // showDialog the name is asked for first (fileName is the preset), and a
    // cancel returns false with FileError untouched.
    virtual bool LoadFile(const std::string& fileName, bool showDialog);
    // Writes DateTo, every line followed by CR LF, and clears DateFrom. With
    // makeBackup the existing file becomes "<name>.bak" first (so the file
    // must exist). The new contents replace the file atomically.
    virtual bool SaveFile(const std::string& fileName, bool showDialog, bool makeBackup);

private:
    TConvType convertFrom_ = PG_WIN;
    TConvType convertTo_ = PG_WIN;
    TLines dateFrom_;
    TLines dateTo_;
    int fileError_ = 0;
    TConvertEvent onDoneConvert_;
    TConvertEvent onStartConvert_;
    TConvertEvent onCreate_;
};

} // namespace lorvane
