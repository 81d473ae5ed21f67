#include "app/DocumentFile.h"

#include "app/TabConvert.h"

#include <sys/stat.h>

namespace lorvane {
namespace {

cp::CodePage PageOf(TConvType page) noexcept {
    return page == PG_DOS886 ? cp::CodePage::Cp866 : cp::CodePage::Koi8R;
}

// The display mode's exchange as a byte table, in the given direction.
std::string Exchange(TConvType from, TConvType to) {
    std::string table(256, '\0');
    for (int b = 0; b < 256; ++b)
        table[static_cast<std::size_t>(b)] = static_cast<char>(b);
    SwitchCodePage(from, to, table);
    return table;
}

const std::string& ToWindow(TConvType page) {
    static const std::string dos = Exchange(PG_DOS886, PG_WIN);
    static const std::string koi = Exchange(PG_KOI, PG_WIN);
    return page == PG_DOS886 ? dos : koi;
}

const std::string& ToFile(TConvType page) {
    static const std::string dos = Exchange(PG_WIN, PG_DOS886);
    static const std::string koi = Exchange(PG_WIN, PG_KOI);
    return page == PG_DOS886 ? dos : koi;
}

// What file byte `b` (single-byte form) shows in the window and means in
// the file.
void Meanings(unsigned char b, const TDocumentForm& form, bool dos, bool koi8, char32_t& shown,
              char32_t& written) {
    if (dos || koi8) {
        const TConvType page = dos ? PG_DOS886 : PG_KOI;
        shown = cp::ToUnicode(cp::CodePage::Win1251, static_cast<unsigned char>(ToWindow(page)[b]));
        written = cp::ToUnicode(PageOf(page), b);
        return;
    }
    shown = written = cp::ToUnicode(form.utf8 ? form.page : cp::CodePage::Win1251, b);
}

bool Lost(unsigned char b, const TDocumentForm& form, bool dos, bool koi8, char32_t& shown,
          char32_t& written) {
    if (b < 0x80) return false;
    Meanings(b, form, dos, koi8, shown, written);
    if (dos || koi8) return shown != written;
    // A plain single-byte file holds the byte itself, whatever it means.
    return form.utf8 && written == 0xFFFD;
}

} // namespace

TFileStamp StampOf(const std::string& path) noexcept {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return StampOf(st);
}

TFileStamp StampOf(const struct ::stat& st) noexcept {
    TFileStamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::int64_t>(st.st_size);
    stamp.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 +
                       static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    return stamp;
}

TUtf8Answer AnswerOf(const TDocumentForm& form) noexcept {
    return form.viewOnly    ? TUtf8Answer::ViewOnly
           : form.bytesKept ? TUtf8Answer::AsBytes
                            : TUtf8Answer::Ask;
}

std::string SingleByteForm(std::string text, bool dos, bool koi8) {
    // The exact inverse of the display-mode switch, so every byte the file
    // had (box drawing included) goes back as it came.
    if (dos || koi8) SwitchCodePage(PG_WIN, dos ? PG_DOS886 : PG_KOI, text);
    return text;
}

std::string FileBytes(std::string singleBytes, const TDocumentForm& form,
                      const std::function<void(int)>& progress) {
    if (!form.utf8) return singleBytes;
    return EncodeUtf8Text(singleBytes, form.page, form.mark, progress);
}

TLostCharacter FindLostCharacter(std::string_view singleBytes, const TByteCounts& now,
                                 const TDocumentForm& form, bool dos, bool koi8,
                                 const TByteCounts& before) {
    TLostCharacter lost;
    if (!dos && !koi8 && !form.utf8) return lost;
    std::array<bool, 256> brought{};
    bool any = false;
    for (int b = 0x80; b < 0x100; ++b) {
        const auto i = static_cast<std::size_t>(b);
        char32_t shown = 0, written = 0;
        brought[i] = now[i] > before[i] &&
                     Lost(static_cast<unsigned char>(b), form, dos, koi8, shown, written);
        any = any || brought[i];
    }
    if (!any) return lost;
    for (std::size_t at = 0; at < singleBytes.size(); ++at) {
        const auto b = static_cast<unsigned char>(singleBytes[at]);
        if (!brought[b]) continue;
        lost.found = true;
        lost.line = LineOfOffset(singleBytes, at);
        Meanings(b, form, dos, koi8, lost.shown, lost.written);
        break;
    }
    return lost;
}

bool ChangesInFile(unsigned char windowByte, const TDocumentForm& form, bool dos, bool koi8,
                   char32_t& written) {
    unsigned char b = windowByte;
    if (dos || koi8) b = static_cast<unsigned char>(ToFile(dos ? PG_DOS886 : PG_KOI)[b]);
    char32_t shown = 0;
    return Lost(b, form, dos, koi8, shown, written);
}

std::string CodingName(const TDocumentForm& form, bool dos, bool koi8) {
    if (form.utf8) return form.mark ? "UTF-8 BOM" : "UTF-8";
    if (dos) return "DOS 866";
    if (koi8) return "KOI8-R";
    return "1251";
}

} // namespace lorvane
