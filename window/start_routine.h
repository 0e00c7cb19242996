#pragma once

// The program's start: a second copy for the same user ends at once and
// shows nothing; otherwise the message title is set and the main window
// loaded and shown. Command-line arguments have no effect. Returns the exit
// code of the event loop.
int RunStartRoutine(int argc, char** argv);
