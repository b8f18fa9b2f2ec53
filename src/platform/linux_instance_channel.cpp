#include "platform/linux_instance_channel.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QString>

#include "config/text_codec.h"

namespace vantor {

namespace {

constexpr char RuntimeFolderVariable[] = "XDG_RUNTIME_DIR";
constexpr char SharedFallbackFolder[] = "/tmp";
constexpr char SocketSuffix[] = ".socket";
constexpr char RestoreRequest[] = "restore";
constexpr char RestoredReply[] = "restored";
// A request longer than this is not one of ours.
constexpr qint64 LongestRequest = 64;

bool IsUsableName(const std::u16string& name) {
    return !name.empty() && name.find(u'/') == std::u16string::npos &&
           name.find(u'\0') == std::u16string::npos;
}

// Answers a later copy once its request line is complete.
void AnswerRequest(QLocalSocket& socket, const std::function<void()>& restore) {
    if (!socket.canReadLine()) {
        if (socket.bytesAvailable() > LongestRequest) {
            socket.abort();
        }
        return;
    }
    if (socket.readLine().trimmed() == RestoreRequest) {
        restore();
        socket.write(QByteArray(RestoredReply) + '\n');
        socket.flush();
    }
    socket.disconnectFromServer();
}

}  // namespace

LinuxInstanceChannel::LinuxInstanceChannel(std::string folder, int replyTimeoutMs)
    : folder_(std::move(folder)), replyTimeoutMs_(replyTimeoutMs) {
    if (folder_.empty()) {
        const char* runtime = std::getenv(RuntimeFolderVariable);
        if (runtime != nullptr && *runtime != '\0') {
            folder_ = runtime;
        } else {
            folder_ = SharedFallbackFolder;
            suffix_ = "-" + std::to_string(getuid());
        }
    }
}

LinuxInstanceChannel::~LinuxInstanceChannel() {
    server_.reset();
    if (lockFd_ >= 0) {
        // The file stays: removing it would race with a copy that has just opened it.
        close(lockFd_);
    }
}

std::string LinuxInstanceChannel::LockPath(const std::u16string& name) const {
    return folder_ + "/" + Utf16ToUtf8(name) + suffix_;
}

std::string LinuxInstanceChannel::SocketPath(const std::u16string& name) const {
    return LockPath(name) + SocketSuffix;
}

InstanceLockResult LinuxInstanceChannel::TryLock(const std::u16string& name) {
    if (lockFd_ >= 0) {
        return {InstanceLockState::Acquired, SOk};
    }
    if (!IsUsableName(name)) {
        return {InstanceLockState::Failed, EInvalidArg};
    }
    const std::string path = LockPath(name);
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EACCES) {
        // Someone else's file in a shared folder: a read-only descriptor locks just as well.
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) {
        const bool badName = errno == ENAMETOOLONG || errno == EINVAL;
        return {InstanceLockState::Failed, badName ? EInvalidArg : EFail};
    }
    int locked;
    do {
        locked = flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0) {
        lockFd_ = fd;
        return {InstanceLockState::Acquired, SOk};
    }
    const int error = errno;
    close(fd);
    if (error == EWOULDBLOCK) {
        return {InstanceLockState::HeldElsewhere, SOk};
    }
    return {InstanceLockState::Failed, EFail};
}

RestoreAnswer LinuxInstanceChannel::AskToRestore(const std::u16string& name) {
    if (!IsUsableName(name)) {
        return RestoreAnswer::NoListener;
    }
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(SocketPath(name)));
    if (!socket.waitForConnected(replyTimeoutMs_)) {
        return socket.error() == QLocalSocket::SocketTimeoutError ? RestoreAnswer::NotAnswered
                                                                  : RestoreAnswer::NoListener;
    }
    socket.write(QByteArray(RestoreRequest) + '\n');
    const QDeadlineTimer deadline(replyTimeoutMs_);
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
        return RestoreAnswer::NotAnswered;
    }
    QByteArray reply;
    while (!reply.contains('\n')) {
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            return RestoreAnswer::NotAnswered;
        }
        reply += socket.readAll();
    }
    return reply.trimmed() == RestoredReply ? RestoreAnswer::Restored : RestoreAnswer::NotAnswered;
}

bool LinuxInstanceChannel::Listen(const std::u16string& name, std::function<void()> onRestore) {
    if (!IsUsableName(name)) {
        return false;
    }
    const QString path = QString::fromStdString(SocketPath(name));
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (lockFd_ >= 0) {
        // Holding the lock, any socket there was left by a copy that crashed.
        QLocalServer::removeServer(path);
    }
    if (!server->listen(path)) {
        return false;
    }
    QLocalServer* listening = server.get();
    QObject::connect(listening, &QLocalServer::newConnection, listening,
                     [listening, restore = std::move(onRestore)] {
                         while (QLocalSocket* socket = listening->nextPendingConnection()) {
                             QObject::connect(socket, &QLocalSocket::disconnected, socket,
                                              &QObject::deleteLater);
                             QObject::connect(
                                 socket, &QLocalSocket::readyRead, socket,
                                 [socket, restore] { AnswerRequest(*socket, restore); });
                         }
                     });
    server_ = std::move(server);
    return true;
}

}  // namespace vantor
