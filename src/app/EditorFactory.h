#pragma once
// The editors the program's document windows are built with.
#include "app/MainForm.h"

namespace lorvane {

// Makes the editor control of one document window.
EditorFactory DocumentEditors();

} // namespace lorvane
