#pragma once
// Claiming a local socket path for listening. A socket file may be left over
// from a process that crashed; it is removed only when nobody answers on it,
// so a live listener is never robbed of its path.
#include <QString>

class QLocalServer;

namespace lorvane {

// Starts `server` listening on `path`; false when the path is taken by a
// live listener or cannot be created.
bool ListenOnPath(QLocalServer& server, const QString& path);

} // namespace lorvane
