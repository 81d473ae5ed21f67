// Benchmark of what the frame reads from its settings on its own: the start,
// an idle pass and an activation, with a large registry file (about 5 MB,
// as years of other programs' keys leave it) beside the settings file.
// Prints "name value unit" lines; pass a size in MB for another file. The
// frame is the real one with the real editor control, offscreen, with one
// document open; the configuration directory is a temporary one.
#include "BenchSupport.h"
#include "app/EditorFactory.h"
#include "app/MainForm.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "platform/ScriptedDialogs.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace lorvane;
using namespace lorvane::bench;

namespace {

// Keys of other programs, each with a few values of every kind, and the
// program's own keys among them.
void WriteRegistry(const std::string& path, double megabytes) {
    std::ofstream out(path, std::ios::binary);
    out << "REGEDIT4\n";
    std::size_t written = 0;
    for (int key = 0; written < static_cast<std::size_t>(megabytes * 1024 * 1024); ++key) {
        std::string block = "\n[HKEY_CURRENT_USER\\Software\\Vendor" + std::to_string(key % 97) +
                            "\\Product" + std::to_string(key) + "]\n";
        block += "\"Path\"=\"/opt/vendor/product" + std::to_string(key) + "/bin/tool\"\n";
        block += "\"Count\"=dword:" + std::to_string(10000000 + key) + "\n";
        block += "\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10\n";
        block += "\"Recent\"=\"/home/user/projects/work" + std::to_string(key) + "/notes.txt\"\n";
        written += block.size();
        out << block;
    }
    out << "\n[HKEY_CURRENT_USER\\OpenFileLorvane\\History]\n\"FileOpen1\"=\"/tmp/a.asm\"\n"
           "\n[HKEY_CURRENT_USER\\OpenFileLorvane\\Main]\n\"RCLeft\"=dword:0000000a\n"
           "\"RCTop\"=dword:0000000a\n\"RCWidth\"=dword:00000300\n\"RCHeight\"=dword:00000200\n"
           "\"RCWindowState\"=hex:00\n";
}

template <typename F> double AverageUs(int rounds, F&& f) {
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i)
        f();
    return Ms(Clock::now() - start) * 1000.0 / rounds;
}

} // namespace

int main(int argc, char** argv) {
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 5.0;
    const auto dir = std::filesystem::temp_directory_path() /
                     ("lorvane-bench-settings-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    ::setenv("LORVANE_CONFIG_HOME", dir.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    app.setApplicationName("Lorvane");
    ScriptedDialogs dialogs;

    const std::string registry = paths::Join(paths::ConfigDirectory(), "HKEY_CURRENT_USER.reg");
    WriteRegistry(registry, megabytes);
    Print("settings_registry_size",
          static_cast<double>(std::filesystem::file_size(registry)) / (1024.0 * 1024.0), "MB");
    const std::string document = (dir / "prog.asm").string();
    std::ofstream(document) << "\tmov ax, 1\n";
    {
        ProfileFile ini(Settings().SettingsFilePath());
        ini.WriteString("ASSEMBLER", "Ассемблер", "nasm");
        ini.WriteString("ASSEMBLER", "Расширение файла компилятора", ".ASM");
    }

    const auto started = Clock::now();
    TMainFormLorvane frame(DocumentEditors(), {document});
    frame.show();
    frame.AboutBoxCr();
    frame.MyAppIdle();
    Print("settings_start", Ms(Clock::now() - started), "ms");

    Print("settings_idle_pass", AverageUs(200, [&] { frame.MyAppIdle(); }), "us");
    Print("settings_activation", AverageUs(200, [&] { frame.AboutBoxCr(); }), "us");
    // What one pass costs when the registry file has just been changed by
    // another program and must be read again.
    Print("settings_idle_pass_after_change",
          AverageUs(5,
                    [&] {
                        TRegistry other;
                        other.OpenKey("\\Software\\Elsewhere", true);
                        other.WriteInteger("Tick", std::rand());
                        frame.MyAppIdle();
                    }) /
              1000.0,
          "ms");

    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
