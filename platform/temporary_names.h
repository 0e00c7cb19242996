#pragma once

#include <QByteArray>

namespace Platform {

// The names of the temporary files open now, for a signal handler to remove.
// Any thread may add and drop names, any number of them; the handler only
// reads atomics and plain bytes, and calls unlink. And the files a writer
// left behind when it was killed where no handler runs (SIGKILL, a power
// cut), found by their names and removed by a later run.
namespace TemporaryNames {

using Entry = void*;

// Remembers the name; the entry drops it again. Never fails.
Entry Remember(const QByteArray& path);
void Forget(Entry entry);

// Removes every file whose name is remembered. Safe inside a signal handler.
void RemoveAll();

// A temporary name beside the file (a path, as the system keeps it):
// ".<name>.<process id>-<8 hex digits><ending>", the writer's process id, a
// random suffix, and as much of the file's name as fits in a name; ending
// is ".tmp" or ".old".
QByteArray Beside(const QByteArray& file, const char* ending);

// Removes the temporary files in the folder whose writer is gone: Beside's
// names, ordinary files of this user, whose process id names no running
// process. Looks at each folder once in the life of the process; never
// fails (what cannot be removed stays).
void RemoveAbandoned(const QByteArray& folder);

}  // namespace TemporaryNames

}  // namespace Platform
