#include "platform/InstanceLock.h"

#include "platform/LocalSocketPath.h"
#include "platform/Paths.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lorvane {

namespace {

constexpr char kComeForward[] = "come-forward\n";
// "file " and the name in base64, so a name may hold any byte.
constexpr char kFile[] = "file ";
// A line longer than any file name can make is not ours.
constexpr qint64 kLongestLine = 16384;

// The title names files; a "/" in it must not name a directory.
std::string FileNameOf(const std::string& title) {
    std::string name = title.empty() ? std::string("lorvane") : title;
    for (char& c : name)
        if (c == '/') c = '_';
    return name;
}

} // namespace

InstanceLock::InstanceLock(const std::string& title, QObject* parent) : QObject(parent) {
    const std::string directory = paths::RuntimeDirectory();
    // No private place for them: run as the first instance, without a lock
    // or a socket others could reach.
    if (directory.empty()) return;
    lockPath_ = paths::Join(directory, FileNameOf(title) + ".lock");
    socketPath_ = paths::Join(directory, FileNameOf(title));

    fd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
        int rc;
        do
            rc = ::flock(fd_, LOCK_EX | LOCK_NB);
        while (rc != 0 && errno == EINTR);
        if (rc != 0 && errno == EWOULDBLOCK) {
            first_ = false;
            ::close(fd_);
            fd_ = -1;
            return;
        }
        // Any other failure of flock: run as the first instance, without
        // holding anything.
    }
    Listen();
}

InstanceLock::~InstanceLock() {
    if (server_ != nullptr) server_->close();
    if (fd_ >= 0) ::close(fd_); // releases the lock; the file stays, removing it would race
}

bool InstanceLock::IsListening() const noexcept {
    return server_ != nullptr && server_->isListening();
}

void InstanceLock::Listen() {
    server_ = new QLocalServer(this);
    if (!ListenOnPath(*server_, QString::fromStdString(socketPath_)))
        return; // the program still runs; it only cannot be called forward
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            // A start that has written its request and ended is still heard.
            connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
                ReadRequest(socket);
                socket->deleteLater();
            });
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { ReadRequest(socket); });
            // The request may have arrived with the connection.
            ReadRequest(socket);
        }
    });
}

void InstanceLock::ReadRequest(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(kLongestLine);
        if (line == kComeForward) {
            emit ComeForwardRequested();
        } else if (line.startsWith(kFile) && line.endsWith('\n')) {
            const auto name =
                QByteArray::fromBase64Encoding(line.mid(int(sizeof kFile) - 1).chopped(1),
                                               QByteArray::AbortOnBase64DecodingErrors);
            if (name && !name.decoded.isEmpty()) emit FileHandedOver(name.decoded);
        }
    }
    // Anything else is not ours to understand; a peer that sends a long line
    // without an end is cut off.
    if (socket->bytesAvailable() > kLongestLine) socket->abort();
}

bool InstanceLock::RequestComeForward(int timeoutMs) const {
    return Request({}, true, timeoutMs);
}

bool InstanceLock::Request(const std::string& fileName, bool comeForward, int timeoutMs) const {
    QByteArray request;
    if (!fileName.empty())
        request += kFile +
                   QByteArray(fileName.data(), static_cast<qsizetype>(fileName.size())).toBase64() +
                   '\n';
    if (comeForward) request += kComeForward;
    if (request.isEmpty()) return true;
    const QDeadlineTimer deadline(timeoutMs);
    const QString path = QString::fromStdString(socketPath_);
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (socket.waitForConnected(
                static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)))) {
            socket.write(request);
            const bool written = socket.waitForBytesWritten(1000) || socket.bytesToWrite() == 0;
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(1000);
            return written;
        }
        if (deadline.hasExpired()) return false;
        QThread::msleep(20);
    }
}

} // namespace lorvane
