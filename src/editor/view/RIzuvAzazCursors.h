#pragma once
// The cursors the controls share: the right-pointing arrow shown over the
// selection margin is made when the first control is created and dropped
// with the last one.
#include <QCursor>

namespace lorvane::cursors {

void Acquire();
void Release() noexcept;
// The margin arrow; the standard arrow while no control exists.
QCursor RightArrow();

} // namespace lorvane::cursors
