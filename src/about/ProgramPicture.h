#pragma once
// The program's picture for the about box, drawn in code so that it scales
// cleanly and needs no stored image.
#include <QPixmap>
#include <QSize>

namespace lorvane {

QPixmap DrawProgramPicture(QSize size);

} // namespace lorvane
