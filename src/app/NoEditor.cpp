// A build without the editor control: the frame runs, and a command that
// needs a document window reports that there is no editor.
#include "app/EditorFactory.h"

namespace lorvane {

EditorFactory DocumentEditors() {
    return {};
}

} // namespace lorvane
