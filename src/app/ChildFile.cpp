// The document window and its file: reading a file in the form it keeps its
// text in, writing it back in that form, and noticing when another program
// changed it in between.
#include "app/Child.h"
#include "app/CommandProgress.h"
#include "app/DocumentRead.h"
#include "app/FileMemory.h"
#include "app/TabConvert.h"
#include "codepage/CodePageGuess.h"
#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/Stream.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QStatusBar>

#include <algorithm>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace lorvane {
namespace {

std::string Utf8Of(char32_t c) {
    std::string out;
    cp::AppendUtf8(out, c);
    return out;
}

MsgResult Ask(const std::string& text, unsigned buttons) {
    return Dialogs::Current().MessageBox(text, std::string(kAttention), buttons, MsgIcon::Warning);
}

// The file's bytes handed to the control, given back to the system as the
// control takes them: the control keeps its own copy, and holding the file
// twice at the end of the load would be the peak of the whole open. Pages
// are dropped one read behind, so a step back into the last block (the
// control's way of stopping at a zero byte) still finds its bytes.
class TConsumedStream final : public TStream {
public:
    explicit TConsumedStream(std::string bytes) : bytes_(std::move(bytes)) {}

    std::int64_t Read(void* buffer, std::int64_t count) override {
        DropBefore(std::min(pos_, lastRead_));
        const std::int64_t n =
            std::clamp<std::int64_t>(Size() - pos_, 0, std::max<std::int64_t>(count, 0));
        if (n > 0) std::memcpy(buffer, bytes_.data() + pos_, static_cast<std::size_t>(n));
        lastRead_ = pos_;
        pos_ += n;
        return n;
    }
    std::int64_t Write(const void*, std::int64_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
        const std::int64_t base = origin == SeekOrigin::Current ? pos_
                                  : origin == SeekOrigin::End   ? Size()
                                                                : 0;
        pos_ = std::max<std::int64_t>(0, base + offset);
        return pos_;
    }
    std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }

private:
    // Whole pages before `end` that were not dropped yet; nothing reads
    // them again, and the string is only freed after this.
    void DropBefore(std::int64_t end) noexcept {
        static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        const auto at = reinterpret_cast<std::uintptr_t>(bytes_.data());
        const std::uintptr_t from =
            (at + static_cast<std::uintptr_t>(dropped_) + page - 1) / page * page;
        const std::uintptr_t to = (at + static_cast<std::uintptr_t>(end)) / page * page;
        if (end <= dropped_ || to <= from) return;
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
        dropped_ = end;
    }

    std::string bytes_;
    std::int64_t pos_ = 0;
    std::int64_t lastRead_ = 0;
    std::int64_t dropped_ = 0;
};

} // namespace

void TMDIChild::LoadFile(const std::string& path, TModeChoice mode, TUtf8Answer answer) {
    // The stamp is the file as opened: a change made while reading shows
    // up later.
    TReadDocument read = ReadDocument(path);
    const TFileStamp stamp = read.stamp;
    const bool sizeChanged = read.SizeChanged();
    const std::string sizeChange = sizeChanged ? SizeChangeText(path, read) : std::string();
    std::string bytes = std::move(read.bytes);
    TCommandProgress::Report(0);
    // The text would end at a zero byte; a window showing only the part
    // before it would write that part over the whole file on the next save.
    if (const std::size_t zero = bytes.find('\0'); zero != std::string::npos)
        throw Error("Файл " + path + " содержит нулевой байт (смещение " + std::to_string(zero) +
                    "): как текст его можно открыть только с потерей остатка.");
    TDocumentForm form;
    form.breaks = DetectBreakStyle(bytes);
    // The "Terminal" font shows code page 866 itself: nothing to guess, and
    // a UTF-8 text becomes the bytes that font shows.
    const bool terminal = IsTerminalFont(memo1_->Font().name);
    if (IsUtf8Text(bytes)) {
        const cp::CodePage page = terminal ? cp::CodePage::Cp866 : cp::CodePage::Win1251;
        TUtf8Decoded text = DecodeUtf8Text(
            bytes, page, [](int percent) { TCommandProgress::Report(percent * 3 / 10); });
        bool asUtf8 = text.complete || answer == TUtf8Answer::ViewOnly;
        if (!text.complete && answer == TUtf8Answer::Ask)
            asUtf8 =
                Ask("Файл " + path + " записан в UTF-8, но знак «" + Utf8Of(text.firstMissing) +
                        "» в строке " + std::to_string(text.missingLine) +
                        " (и, может быть, другие) в этом редакторе показать нельзя.\n"
                        "Да — открыть текст только для просмотра (такие знаки "
                        "показаны как «?»),\nНет — открыть байты файла как есть.",
                    mbYes | mbNo) == MsgResult::Yes;
        if (asUtf8) {
            form.utf8 = true;
            form.mark = text.mark;
            form.page = page;
            form.viewOnly = !text.complete;
            bytes = std::move(text.bytes);
        } else {
            form.bytesKept = true;
        }
    }
    bool dos = false, koi8 = false;
    if (!form.utf8) {
        if (mode == TModeChoice::Guess) {
            const TConvType guess = terminal ? PG_WIN : GuessCodePage(bytes);
            mode = guess == PG_DOS886 ? TModeChoice::Dos
                   : guess == PG_KOI  ? TModeChoice::Koi8
                                      : TModeChoice::Plain;
        }
        dos = mode == TModeChoice::Dos;
        koi8 = mode == TModeChoice::Koi8;
    }
    TCommandProgress::Report(0);
    const TByteCounts counts = CountBytes(bytes);
    // Exactly what switching the mode on after loading does: the line
    // breaks are no letters, so exchanging before the load is the same.
    if (dos || koi8) SwitchCodePage(dos ? PG_DOS886 : PG_KOI, PG_WIN, bytes);
    TConsumedStream stream(std::move(bytes));
    memo1_->LoadFromStream(stream);
    memo1_->SetLineBreak(form.breaks);
    memo1_->SetReadOnly(form.viewOnly);
    DosMode = dos ? 1 : 0;
    Koi8Mode = koi8 ? 1 : 0;
    Document.form = form;
    Document.path = path;
    Document.known = stamp;
    Document.dismissed.reset();
    Document.counts = counts;
    if (mdiArea() != nullptr && mdiArea()->currentSubWindow() == this) {
        SharedFlags().ActiveDosMode = dos;
        SharedFlags().ActiveKoi8Mode = koi8;
    }
    RemoveStaleTemporaries({path, BackupName(path)});
    if (sizeChanged) Ask(sizeChange, mbOK);
}

bool TMDIChild::WriteInMode(const std::string& path, bool backup, bool exportCopy) {
    if (Document.form.viewOnly) {
        Ask("Текст файла " + Document.path +
                " открыт только для просмотра: в нём есть знаки, которых нет в "
                "Windows-1251, и записать его нельзя.",
            mbOK);
        return false;
    }
    if (path == Document.path && !ConfirmOverwrite()) return false;
    const bool dos = DosMode != 0, koi8 = Koi8Mode != 0;
    QStatusBar* bar = nullptr;
    if (auto* frame = qobject_cast<QMainWindow*>(window())) bar = frame->statusBar();
    TCommandProgress progress(bar, QString::fromUtf8("Сохранение файла"));
    // Inside the bracket the window may repaint while the text is written:
    // the control draws nothing until the bracket closes.
    const auto saveText = [this](TStream& out) {
        TUpdateBracket update(*memo1_);
        memo1_->SaveToStream(out);
    };
    std::string single;
    TByteCounts counts{};
    if (!dos && !koi8 && !Document.form.utf8) {
        // The text as the control writes it, straight into the file.
        WriteDocumentFile(path, backup, saveText);
    } else {
        TStringStream text;
        saveText(text);
        TCommandProgress::Report(30);
        single = SingleByteForm(text.TakeData(), dos, koi8);
        TCommandProgress::Report(50);
        counts = CountBytes(single);
        TCommandProgress::Report(55);
        if (!ConfirmLoss(single, counts, path)) return false;
        const std::string bytes = FileBytes(single, Document.form, [](int percent) {
            TCommandProgress::Report(55 + percent * 15 / 100);
        });
        TCommandProgress::Report(70);
        WriteDocumentFile(path, backup, [&](TStream& out) {
            // In pieces, with the window's events let run between them.
            constexpr std::size_t kPiece = std::size_t{8} << 20;
            for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
                out.WriteBuffer(bytes.data() + at,
                                static_cast<std::int64_t>(std::min(kPiece, bytes.size() - at)));
                TCommandProgress::Report(
                    70 + static_cast<int>(static_cast<double>(at) * 30 / bytes.size()));
            }
        });
    }
    if (exportCopy) return true;
    // The window's own save: the file is what the window now knows.
    Document.path = path;
    Document.known = StampOf(path);
    Document.dismissed.reset();
    if (dos || koi8 || Document.form.utf8) Document.counts = counts;
    return true;
}

bool TMDIChild::ConfirmLoss(std::string_view singleBytes, const TByteCounts& counts,
                            const std::string& path) {
    const TLostCharacter lost = FindLostCharacter(singleBytes, counts, Document.form, DosMode != 0,
                                                  Koi8Mode != 0, Document.counts);
    if (!lost.found) return true;
    return Ask("Знак «" + Utf8Of(lost.shown) + "» в строке " + std::to_string(lost.line) +
                   " нельзя записать в кодировке " +
                   CodingName(Document.form, DosMode != 0, Koi8Mode != 0) + ": в файле " + path +
                   " он станет «" + Utf8Of(lost.written) + "».\nВсё равно сохранить?",
               mbYes | mbNo) == MsgResult::Yes;
}

bool TMDIChild::ConfirmOverwrite() {
    const TFileStamp now = StampOf(Document.path);
    // Gone meanwhile: the save puts it back, which is what was asked for.
    if (now == Document.known || !now.exists || !Document.known.exists) return true;
    const MsgResult answer =
        Ask("Файл " + Document.path +
                " изменён другой программой.\nДа — загрузить его заново (текст окна будет "
                "заменён) и не сохранять,\nНет — записать текст окна поверх файла,\n"
                "Отмена — ничего не менять.",
            mbYes | mbNo | mbCancel);
    if (answer == MsgResult::Yes) ReloadFile();
    return answer == MsgResult::No;
}

void TMDIChild::CheckFileOnDisk() {
    if (!Document.checkDisk) return;
    Document.checkDisk = false;
    if (Document.path.empty() || !Document.known.exists) return;
    const TFileStamp now = StampOf(Document.path);
    if (now == Document.known || now == Document.dismissed) return;
    if (!now.exists) {
        const MsgResult answer =
            Ask("Файл " + Document.path +
                    " удалён или переименован другой программой.\nДа — оставить текст окна, "
                    "чтобы при сохранении записать его в этот файл,\nНет — ничего не менять.",
                mbYes | mbNo);
        if (answer == MsgResult::Yes) {
            Document.known = now;
            memo1_->SetModified(true);
        } else {
            Document.dismissed = now;
        }
        return;
    }
    const MsgResult answer =
        Ask("Файл " + Document.path +
                " изменён другой программой.\nДа — загрузить его заново "
                "(текст окна будет заменён),\nНет — оставить текст окна "
                "(при сохранении он заменит файл),\nОтмена — ничего не менять.",
            mbYes | mbNo | mbCancel);
    if (answer == MsgResult::Yes) {
        ReloadFile();
    } else if (answer == MsgResult::No) {
        Document.known = now;
        memo1_->SetModified(true);
    } else {
        Document.dismissed = now;
    }
}

void TMDIChild::ReloadFile() {
    const std::int32_t caret = memo1_->SelStart();
    const TModeChoice mode = DosMode != 0    ? TModeChoice::Dos
                             : Koi8Mode != 0 ? TModeChoice::Koi8
                                             : TModeChoice::Plain;
    try {
        LoadFile(Document.path, mode, AnswerOf(Document.form));
    } catch (const std::exception& error) {
        // Nothing was replaced: the window keeps its text.
        ReportError(error);
        return;
    }
    memo1_->SetModified(false);
    memo1_->SetSelStart(std::min(caret, memo1_->TextLength()));
}

bool TMDIChild::FollowFontPage(const std::string& fontName) {
    const cp::CodePage page =
        IsTerminalFont(fontName) ? cp::CodePage::Cp866 : cp::CodePage::Win1251;
    TDocumentForm& form = Document.form;
    if (!form.utf8 || form.page == page) return true;
    std::string text = memo1_->Text();
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto b = static_cast<unsigned char>(text[at]);
        if (b < 0x80) continue;
        const char32_t c = cp::ToUnicode(form.page, b);
        const int moved = cp::FromUnicode(page, c);
        if (moved < 0) {
            Ask("Знак «" + Utf8Of(c) + "» в строке " + std::to_string(LineOfOffset(text, at)) +
                    " текста " + Caption() + " (UTF-8) нельзя показать шрифтом «" + fontName +
                    "»: в файл он был бы записан другим знаком. Шрифт окна не изменён.",
                mbOK);
            return false;
        }
        text[at] = static_cast<char>(moved);
    }
    const bool modified = memo1_->Modified();
    const std::int32_t caret = memo1_->SelStart();
    memo1_->SetText(text);
    memo1_->SetModified(modified);
    memo1_->SetSelStart(caret);
    form.page = page;
    Document.counts = CountBytes(text);
    return true;
}

void TMDIChild::RememberFile() const noexcept {
    if (Document.path.empty()) return;
    try {
        TRememberedFile state;
        state.mode = DosMode != 0 ? 'D' : Koi8Mode != 0 ? 'K' : 'W';
        state.caret = memo1_->SelStart();
        lorvane::RememberFile(Document.path, state);
    } catch (...) {
        // A memory that cannot be kept is no reason to lose a window.
    }
}

} // namespace lorvane
