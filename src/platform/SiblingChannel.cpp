#include "platform/SiblingChannel.h"

#include "platform/LocalSocketPath.h"
#include "platform/Paths.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <array>

namespace lorvane {

namespace {

constexpr qint64 kRecordSize = 12;

void PutInt(char* out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

std::int32_t GetInt(const char* in) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

} // namespace

SiblingChannel::SiblingChannel(QObject* parent) : QObject(parent) {}

SiblingChannel::~SiblingChannel() {
    Close();
}

std::string SiblingChannel::SearchProgramSocket() {
    const std::string dir = paths::RuntimeDirectory();
    return dir.empty() ? std::string() : paths::Join(dir, "DIzer.sock");
}

std::string SiblingChannel::FrameSocket() {
    const std::string dir = paths::RuntimeDirectory();
    return dir.empty() ? std::string() : paths::Join(dir, "Lorvane.frame.sock");
}

bool SiblingChannel::Send(const SiblingMessage& message, const std::string& socketPath) {
    std::array<char, kRecordSize> record{};
    PutInt(record.data(), message.message);
    PutInt(record.data() + 4, message.first);
    PutInt(record.data() + 8, message.second);

    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath));
    // A local connect either succeeds at once or fails at once; the short
    // wait only covers a listener whose queue is momentarily full.
    if (!socket.waitForConnected(250)) return false;
    socket.write(record.data(), kRecordSize);
    const bool written = socket.waitForBytesWritten(250) || socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    return written;
}

bool SiblingChannel::Listen(const std::string& socketPath) {
    Close();
    server_ = new QLocalServer(this);
    if (!ListenOnPath(*server_, QString::fromStdString(socketPath))) {
        delete server_.data();
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
            Read(socket);
        }
    });
    return true;
}

bool SiblingChannel::IsListening() const noexcept {
    return server_ != nullptr && server_->isListening();
}

void SiblingChannel::Close() {
    if (server_ != nullptr) {
        server_->close();
        // Later: Close may be called from a handler of a message that one of
        // the server's sockets is still delivering.
        server_->deleteLater();
        server_ = nullptr;
    }
}

void SiblingChannel::Read(QLocalSocket* socket) {
    // Whole records only; a partial one waits for the rest of its bytes.
    while (socket->bytesAvailable() >= kRecordSize) {
        std::array<char, kRecordSize> record{};
        if (socket->read(record.data(), kRecordSize) != kRecordSize) return;
        emit MessageReceived(GetInt(record.data()), GetInt(record.data() + 4),
                             GetInt(record.data() + 8));
    }
}

} // namespace lorvane
