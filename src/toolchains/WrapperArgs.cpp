#include "toolchains/WrapperArgs.h"

#include <algorithm>

namespace lorvane::wrappers {
namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::string_view NamePart(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string ReplaceExtension(std::string_view name, std::string_view extension) {
    const auto slash = name.find_last_of('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const auto dot = name.find_last_of('.');
    const std::size_t cut = dot != std::string_view::npos && dot >= nameStart ? dot : name.size();
    return std::string(name.substr(0, cut)) + std::string(extension);
}

Invocation NasmInvocation(const std::vector<std::string>& args) {
    if (args.empty() || args.back().empty())
        return {{}, "нужно имя исходного файла: lorvane-nasm [ключи NASM] ФАЙЛ.ASM"};
    const std::string& source = args.back();
    Invocation call;
    call.argv.push_back("nasm");
    const bool format = std::any_of(args.begin(), args.end() - 1, [](const std::string& a) {
        return a.rfind("-f", 0) == 0 || a.rfind("--format", 0) == 0;
    });
    if (!format) call.argv.insert(call.argv.end(), {"-f", "bin"});
    call.argv.insert(call.argv.end(), args.begin(), args.end() - 1);
    // A name that starts with "-" would be read as an option.
    const std::string file = source.front() == '-' ? "./" + source : source;
    call.argv.insert(call.argv.end(), {"-o", ReplaceExtension(file, ".COM"), "-l",
                                       ReplaceExtension(file, ".LST"), file});
    return call;
}

BccRun BccInvocation(const std::vector<std::string>& args, bool exists,
                     std::string_view currentDirectory) {
    if (args.empty() || args.back().empty())
        return {{{}, "нужно имя исходного файла: lorvane-bcc [ключи bcc] ФАЙЛ.C"}, {}};
    const std::string& given = args.back();
    // The include line ends at a quote; a line break would end it sooner.
    if (std::any_of(given.begin(), given.end(),
                    [](char c) { return c == '"' || static_cast<unsigned char>(c) < 0x20; }))
        return {{{}, "имя " + given + " bcc не примет: в нём кавычка или управляющий символ"}, {}};
    if (!exists) return {{{}, "файла " + given + " нет"}, {}};
    std::string source = given;
    if (source.front() != '/') {
        source.insert(0, "/");
        source.insert(0, currentDirectory);
    }
    BccRun result;
    std::vector<std::string>& argv = result.call.argv;
    argv.push_back("bcc");
    const bool model = std::any_of(args.begin(), args.end() - 1,
                                   [](const std::string& a) { return a.rfind("-M", 0) == 0; });
    if (!model) argv.push_back("-Md");
    argv.insert(argv.end(), args.begin(), args.end() - 1);
    argv.insert(argv.end(), {"-o", ReplaceExtension(source, ".COM"), kBccStub});
    result.stub = "#include \"" + source + "\"\n";
    return result;
}

bool IsDosName(std::string_view name) {
    const auto dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3) return false;
    if (dot != std::string_view::npos && extension.empty()) return false;
    const auto fits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) {
            const auto b = static_cast<unsigned char>(c);
            return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
                   std::string_view("!#$%&'()-@^_`{}~").find(c) != std::string_view::npos;
        });
    };
    return fits(base) && fits(extension);
}

Invocation DosboxInvocation(const std::vector<std::string>& args, bool exists) {
    std::string redirect;
    bool exitAtOnce = false;
    std::string program;
    for (const std::string& arg : args) {
        if (arg.rfind("--redirect=", 0) == 0)
            redirect = arg.substr(11);
        else if (arg == "--exit")
            exitAtOnce = true;
        else if (program.empty())
            program = arg;
        else
            return {{}, "лишний аргумент \"" + arg + "\": запускается одна программа"};
    }
    if (program.empty())
        return {{}, "нужно имя программы: lorvane-dosbox [--redirect=ФАЙЛ] [--exit] ИМЯ.COM"};
    const std::string_view name = NamePart(program);
    std::string directory = program.substr(0, program.size() - name.size());
    if (directory.empty()) directory = ".";
    if (!exists) return {{}, "программы " + program + " нет: сначала её надо собрать"};
    if (!IsDosName(name))
        return {{},
                "имя \"" + std::string(name) +
                    "\" DOS не увидит (до 8 знаков, точка, до 3 знаков): переименуйте файл"};
    const std::string extension = Upper(name.substr(std::min(name.size(), name.find('.') + 1)));
    if (name.find('.') == std::string_view::npos ||
        (extension != "COM" && extension != "EXE" && extension != "BAT"))
        return {{}, "DOS запускает только .COM, .EXE и .BAT, а не " + std::string(name)};
    if (!redirect.empty() && !IsDosName(redirect))
        return {{}, "имя \"" + redirect + "\" для вывода DOS не годится"};
    // The DOS box reads its commands as DOS command lines: a quote would end
    // the directory's name early and <, >, | would redirect.
    if (std::any_of(directory.begin(), directory.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 ||
                   std::string_view("\"<>|").find(c) != std::string_view::npos;
        }))
        return {{},
                "каталог " + directory + " DOS не подключит: в его имени есть \" < > | " +
                    "или управляющий символ"};
    Invocation call;
    // The DOS box starts in the US code page, where the Russian letters the
    // programs print in code page 866 show as other signs; the layout keeps
    // Latin typing until it is switched.
    call.argv = {"dosbox", "-noautoexec",
                 "-c",     "KEYB RU 866",
                 "-c",     "MOUNT C \"" + directory + "\"",
                 "-c",     "C:",
                 "-c",     Upper(name) + (redirect.empty() ? "" : " > " + Upper(redirect))};
    if (!exitAtOnce) call.argv.insert(call.argv.end(), {"-c", "PAUSE"});
    call.argv.insert(call.argv.end(), {"-c", "EXIT"});
    return call;
}

} // namespace lorvane::wrappers
