#include "platform/LocalSocketPath.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace lorvane {

bool ListenOnPath(QLocalServer& server, const QString& path) {
    // No socket options: with them the socket is made elsewhere and renamed
    // into place, which would silently replace a live listener's socket.
    // Who may connect is settled by the runtime directory, which only its
    // owner can enter.
    if (path.isEmpty()) return false; // no private directory to listen in
    if (server.listen(path)) return true;
    if (server.serverError() != QAbstractSocket::AddressInUseError || !QFileInfo::exists(path))
        return false;
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(200)) {
        probe.disconnectFromServer();
        return false;
    }
    QLocalServer::removeServer(path);
    return server.listen(path);
}

} // namespace lorvane
