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

// Puts `window` one title bar below and right of `after` (the window that
// was active before it), or in the area's top left corner when there is
// none or it would not fit there whole: windows opened one after another
// stay visible instead of running off the area's edge.
void CascadeDocumentWindow(TMDIChild& window, const QWidget* after);

} // namespace lorvane
