#pragma once
// Lets one instance of the program run at a time. The lock is an advisory
// flock on "<runtime dir>/<title>.lock", held while the object lives; the
// kernel drops it when the process ends, however it ends, so a crash never
// leaves a stale lock behind. The first instance listens on a local socket
// "<runtime dir>/<title>" and reports "come forward" requests; a second
// instance sends one and then ends.
#include <QObject>
#include <QPointer>

#include <string>

class QLocalServer;
class QLocalSocket;

namespace lorvane {

class InstanceLock final : public QObject {
    Q_OBJECT
public:
    // Takes the lock at once. A lock that cannot be taken because another
    // process holds it makes this the second instance; any other failure
    // (no runtime directory, a file system that refuses locks) lets the
    // program run as the first instance rather than not at all.
    explicit InstanceLock(const std::string& title, QObject* parent = nullptr);
    ~InstanceLock() override;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    bool IsFirst() const noexcept { return first_; }
    // True when the first instance also listens for requests.
    bool IsListening() const noexcept;

    // Second instance: asks the first to come forward. The first instance
    // may still be starting up, so the request is retried for up to
    // `timeoutMs`. False when it could not be delivered.
    bool RequestComeForward(int timeoutMs = 2000) const;
    // The same with a file name handed over first (its bytes exactly, any
    // of them); without `comeForward` only the name goes.
    bool Request(const std::string& fileName, bool comeForward, int timeoutMs = 2000) const;

    const std::string& LockPath() const noexcept { return lockPath_; }
    const std::string& SocketPath() const noexcept { return socketPath_; }

signals:
    void ComeForwardRequested();
    // A later start handed this file name over.
    void FileHandedOver(const QByteArray& fileName);

private:
    void Listen();
    void ReadRequest(QLocalSocket* socket);

    std::string lockPath_;
    std::string socketPath_;
    int fd_ = -1;
    bool first_ = true;
    QPointer<QLocalServer> server_;
};

} // namespace lorvane
