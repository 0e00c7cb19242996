#pragma once

#include <QByteArray>

namespace Platform {

// The names of the temporary files open now, for a signal handler to remove.
// Any thread may add and drop names, any number of them; the handler only
// reads atomics and plain bytes, and calls unlink.
namespace TemporaryNames {

using Entry = void*;

// Remembers the name; the entry drops it again. Never fails.
Entry Remember(const QByteArray& path);
void Forget(Entry entry);

// Removes every file whose name is remembered. Safe inside a signal handler.
void RemoveAll();

}  // namespace TemporaryNames

}  // namespace Platform
