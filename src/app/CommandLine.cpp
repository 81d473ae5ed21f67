#include "app/CommandLine.h"

#include "app/HandOver.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#ifndef LORVANE_VERSION
#define LORVANE_VERSION "0"
#endif

namespace lorvane {
namespace {

bool IsFile(const std::string& name) {
    std::error_code error;
    return !name.empty() && std::filesystem::is_regular_file(name, error);
}

std::string Absolute(const std::string& name) {
    return HandOverName(std::span<const std::string>(&name, 1));
}

} // namespace

CommandLine ParseCommandLine(std::span<const std::string> arguments) {
    CommandLine result;
    bool optionsEnded = false;
    for (const std::string& word : arguments) {
        if (optionsEnded || !word.starts_with("--")) {
            result.files.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "--help") {
            // Help wins over everything else on the line, errors included:
            // it is what someone who typed a wrong option needs next.
            result.action = CommandLine::Action::Help;
        } else if (word == "--version") {
            if (result.action == CommandLine::Action::Run)
                result.action = CommandLine::Action::Version;
        } else if (result.action != CommandLine::Action::Help) {
            result.action = CommandLine::Action::Error;
            if (result.error.empty())
                result.error = "lorvane: неизвестный параметр «" + word +
                               "».\nСписок параметров: lorvane --help\n"
                               "Файл с таким именем открывается так: lorvane -- " +
                               word + "\n";
        }
    }
    if (result.action != CommandLine::Action::Error) result.error.clear();
    return result;
}

std::string VersionText() {
    return "Lorvane " LORVANE_VERSION "\n";
}

std::string UsageText() {
    return R"(Использование: lorvane [--help | --version] [--] [ФАЙЛ...]

Текстовый редактор Lorvane: тексты в Windows-1251, DOS (866) и KOI8-R,
сборка и запуск программ из редактора.

Файлы
  Каждый ФАЙЛ открывается в своём окне и попадает в список последних
  файлов. Слова, которые вместе через пробел составляют имя существующего
  файла, открывают этот один файл. Если Lorvane уже запущен, файлы
  передаются ему, а этот запуск сразу завершается.
  После «--» параметров больше нет: «lorvane -- --x» открывает файл «--x».

Параметры
  --help      показать эту справку и выйти
  --version   показать версию и выйти

Настройки
  Файл настроек lorvane.INI и файлы реестра программы (HKEY_CURRENT_USER.reg)
  лежат в каталоге $LORVANE_CONFIG_HOME, если он задан, иначе
  в $XDG_CONFIG_HOME/lorvane, иначе в ~/.config/lorvane.

Переменные окружения
  LORVANE_CONFIG_HOME  каталог настроек (см. выше)
  XDG_CONFIG_HOME      каталог, в котором лежит каталог настроек lorvane
  XDG_RUNTIME_DIR      здесь, в подкаталоге lorvane, лежат блокировка
                       единственного запуска и его сокеты; без неё
                       они лежат в каталоге настроек
  LORVANE_DATA_DIR     данные программы (справка, профили сборки,
                       словари подсветки); без неё share/lorvane рядом
                       с каталогом программы
)";
}

std::vector<std::string> StartFiles(std::span<const std::string> files) {
    if (files.empty()) return {};
    const std::string joined = JoinParameters(files);
    bool each = files.size() > 1 && !IsFile(joined);
    for (std::size_t i = 0; each && i < files.size(); ++i)
        each = IsFile(files[i]);
    std::vector<std::string> names;
    if (each)
        for (const std::string& file : files)
            names.push_back(Absolute(file));
    else if (!joined.empty())
        names.push_back(Absolute(joined));
    return names;
}

} // namespace lorvane
