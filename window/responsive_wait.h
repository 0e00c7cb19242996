#pragma once

#include <functional>

class QWidget;

namespace Window {

// Runs `work` on a thread of its own and waits for it in a local event loop,
// so that a slow job (a metafile played up to its deadline) does not freeze
// the window: it is still drawn, shows the busy cursor and can be closed,
// while its controls ignore the mouse and the keyboard until the work is
// done. Releases of buttons and keys still arrive, so that a press made
// before the wait keeps its pair. `work` must not touch any widget.
//
// When the window is closed meanwhile, the work is not wanted any more:
// `stop` is called (from this thread, again while the work goes on, in case
// it started something new) so that it ends at once. The work is always
// waited for, also when the program is asked to quit meanwhile. Returns false
// when the window was closed while waiting: the caller then leaves it alone.
bool WaitResponsively(QWidget& window, const std::function<void()>& work,
                      const std::function<void()>& stop);

}  // namespace Window
