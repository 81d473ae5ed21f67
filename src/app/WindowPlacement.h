#pragma once
// Where windows open when no placement is stored yet (the first start):
// the frame at a size that suits the screen, a document window large
// enough for 80 columns by 25 lines of its document font.
class QWidget;
class QFont;

namespace lorvane {

class TMDIChild;

// Three quarters of the screen's free area (never less than the frame's
// designed size), in its middle.
void FitFrameToScreen(QWidget& frame);

// Sizes `window` so that its editor shows 80 by 25 characters of `font`,
// within the area the windows live in.
void FitDocumentWindow(TMDIChild& window, const QFont& font);

} // namespace lorvane
