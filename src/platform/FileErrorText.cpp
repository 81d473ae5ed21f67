#include "platform/FileErrorText.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace lorvane {

std::string SystemErrorText(int errorCode) {
    switch (errorCode) {
    case ENOENT:
        return "нет такого файла или папки";
    case EACCES:
        return "доступ запрещён";
    case EPERM:
        return "операция не разрешена";
    case EEXIST:
        return "файл уже существует";
    case EISDIR:
        return "это папка, а не файл";
    case ENOTDIR:
        return "часть пути не является папкой";
    case ENOSPC:
        return "на диске нет места";
    case EDQUOT:
        return "превышена дисковая квота";
    case EROFS:
        return "файловая система доступна только для чтения";
    case ENAMETOOLONG:
        return "слишком длинное имя файла";
    case ELOOP:
        return "слишком много символических ссылок в пути";
    case EMFILE:
    case ENFILE:
        return "открыто слишком много файлов";
    case EIO:
        return "ошибка ввода-вывода";
    case EBUSY:
        return "файл занят";
    case ETXTBSY:
        return "файл занят выполняемой программой";
    case EFBIG:
        return "файл слишком велик";
    case EINVAL:
        return "недопустимый аргумент";
    case EXDEV:
        return "файл на другом устройстве";
    case EBADF:
        return "файл не открыт";
    case ENOMEM:
        return "недостаточно памяти";
    default:
        return std::string(std::strerror(errorCode)) + " (код " + std::to_string(errorCode) + ")";
    }
}

std::string FileErrorText(std::string_view what, const std::string& path, int errorCode) {
    return FileErrorText(what, path, SystemErrorText(errorCode));
}

std::string NotRegularReason(unsigned mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return SystemErrorText(EISDIR);
    if (S_ISFIFO(mode)) return "это именованный канал, а не обычный файл";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "это устройство, а не обычный файл";
    if (S_ISSOCK(mode)) return "это сокет, а не обычный файл";
    return "это не обычный файл";
}

std::string FileErrorText(std::string_view what, const std::string& path, std::string_view reason) {
    struct Phrase {
        std::string_view what;
        const char* text;
    };
    static constexpr Phrase kPhrases[] = {
        {"open", "открыть файл"},          {"create", "создать файл"},
        {"read", "прочитать файл"},        {"write", "записать файл"},
        {"close", "закрыть файл"},         {"seek in", "перейти к нужному месту в файле"},
        {"stat", "узнать размер файла"},   {"flush", "записать на диск файл"},
        {"print to", "напечатать в файл"},
    };
    std::string action(what);
    for (const Phrase& phrase : kPhrases)
        if (phrase.what == what) action = phrase.text;
    return "Не удалось " + action + " \"" + path + "\": " + std::string(reason);
}

} // namespace lorvane
