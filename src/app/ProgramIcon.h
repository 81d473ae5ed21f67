#pragma once
// The program's own picture: a page of program text, its lines in the
// document windows' aqua on black. One description serves the window icon
// and the icons installed for the desktop, so they cannot drift apart.
#include <QIcon>

#include <string>

class QPainter;

namespace lorvane {

// The picture's own square: every size is drawn scaled from it.
constexpr int kProgramIconUnits = 20;

// Draws the picture into a kProgramIconUnits square; scale the painter first.
void PaintProgramIcon(QPainter& painter);

// The picture at `size` pixels square, with a transparent background.
QImage ProgramIconImage(int size);

// The picture at the sizes a desktop asks for, for the windows.
QIcon ProgramIcon();

// The same picture as a scalable SVG document.
std::string ProgramIconSvg();

} // namespace lorvane
