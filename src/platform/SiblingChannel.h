#pragma once
// Messages between the editor and the search-in-files program. A message is
// three 32-bit integers (message number, first and second parameter), sent
// as 12 bytes, little-endian, over a local socket in the runtime directory:
// the search program listens on "DIzer.sock", the editor's frame on
// "Lorvane.frame.sock".
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace lorvane {

struct SiblingMessage {
    std::int32_t message = 0;
    std::int32_t first = 0;
    std::int32_t second = 0;
};

class SiblingChannel final : public QObject {
    Q_OBJECT
public:
    explicit SiblingChannel(QObject* parent = nullptr);
    ~SiblingChannel() override;

    static std::string SearchProgramSocket();
    static std::string FrameSocket();

    // Delivers one message to whoever listens on `socketPath`. When nobody
    // does, the message goes nowhere and the result is false; the program
    // is not told otherwise, as a window message to a missing window.
    static bool Send(const SiblingMessage& message,
                     const std::string& socketPath = SearchProgramSocket());
    static bool Send(std::int32_t message, std::int32_t first, std::int32_t second) {
        return Send(SiblingMessage{message, first, second});
    }

    // Starts listening; every complete message received is reported by
    // MessageReceived. False when the path is held by a live listener or
    // cannot be created.
    bool Listen(const std::string& socketPath = FrameSocket());
    bool IsListening() const noexcept;
    void Close();

signals:
    void MessageReceived(int message, int first, int second);

private:
    void Read(QLocalSocket* socket);

    QPointer<QLocalServer> server_;
};

} // namespace lorvane
