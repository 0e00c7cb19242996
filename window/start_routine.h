#pragma once

namespace Window {

// The program's start: a second copy for the same user ends at once and
// shows nothing; otherwise the message title is set and the main window
// loaded and shown. Command-line arguments have no effect. Returns the exit
// code of the event loop.
int RunStartRoutine(int argc, char** argv);

// What the start routine sets for the whole application, once the
// application object exists: the default font and Qt's German texts. No
// application display name is set, since the window system would append it
// to every window title.
void SetUpApplication();

}  // namespace Window
