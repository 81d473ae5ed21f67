#include "platform/FileNameBytes.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

namespace lorvane {

QString FileNameText(std::string_view name) {
    return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `directory` that shows as `part`, or the part as UTF-8.
std::string FindPart(const std::string& directory, const QString& part) {
    const std::string plain = QFile::encodeName(part).toStdString();
    if (Exists(directory + plain)) return plain;
    DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
    if (dir == nullptr) return plain;
    std::string found = plain;
    while (const dirent* entry = ::readdir(dir)) {
        if (QFile::decodeName(entry->d_name) == part) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

std::string FileNameBytes(const QString& text) {
    const std::string plain = QFile::encodeName(text).toStdString();
    if (text.isEmpty() || !text.contains(QChar::ReplacementCharacter) || Exists(plain))
        return plain;
    std::string path;
    const QStringList parts = text.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0) path += '/';
        if (parts[i].isEmpty()) continue;
        path += parts[i].contains(QChar::ReplacementCharacter)
                    ? FindPart(path, parts[i])
                    : QFile::encodeName(parts[i]).toStdString();
    }
    return path;
}

} // namespace lorvane
