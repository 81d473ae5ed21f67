// Writes the program's icons for the desktop's hicolor theme into the
// directory given: hicolor/scalable/apps/lorvane.svg and a PNG for every
// size, all from the picture the program's windows show.
#include "app/ProgramIcon.h"

#include <QImage>

#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: lorvane_make_icons <directory>\n";
        return 2;
    }
    const std::filesystem::path root = std::filesystem::path(argv[1]) / "hicolor";
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const auto dir = root / name / "apps";
        std::filesystem::create_directories(dir);
        if (!lorvane::ProgramIconImage(size).save(
                QString::fromStdString((dir / "lorvane.png").string()))) {
            std::cerr << "cannot write " << (dir / "lorvane.png") << "\n";
            return 1;
        }
    }
    const auto scalable = root / "scalable" / "apps";
    std::filesystem::create_directories(scalable);
    std::ofstream svg(scalable / "lorvane.svg", std::ios::binary | std::ios::trunc);
    svg << lorvane::ProgramIconSvg();
    return svg.flush() ? 0 : 1;
}
