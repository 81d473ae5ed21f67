#pragma once
// The tool buttons' pictures, drawn in code so the program carries no
// image files.
#include <QIcon>

#include <string_view>

namespace lorvane {

// The picture of the named tool button; an empty icon for a name without one.
QIcon ToolIcon(std::string_view buttonName);

} // namespace lorvane
