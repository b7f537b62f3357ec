// The hand-over between two starts of the editor: the images as a QStringList in a
// QDataStream, answered by one byte once received. Plain local sockets watched by the
// event loop, so that the start links no network library.
#include "SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const char Taken = 'k';
// How long a socket file is tried before it counts as left behind.
const int LivenessMilliseconds = 1000;

bool AddressOf(const QString& Path, sockaddr_un& Address) {
    const QByteArray Name = QFile::encodeName(Path);
    std::memset(&Address, 0, sizeof Address);
    Address.sun_family = AF_UNIX;
    if (Name.isEmpty() || static_cast<size_t>(Name.size()) >= sizeof Address.sun_path) return false;
    std::memcpy(Address.sun_path, Name.constData(), static_cast<size_t>(Name.size()));
    return true;
}

// A socket connected to Path whose sends and receives give up after Timeout, or -1.
int ConnectTo(const QString& Path, int TimeoutMilliseconds) {
    sockaddr_un Address;
    if (!AddressOf(Path, Address)) return -1;
    const int Fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (Fd < 0) return -1;
    const timeval Timeout{TimeoutMilliseconds / 1000, (TimeoutMilliseconds % 1000) * 1000};
    ::setsockopt(Fd, SOL_SOCKET, SO_SNDTIMEO, &Timeout, sizeof Timeout);
    ::setsockopt(Fd, SOL_SOCKET, SO_RCVTIMEO, &Timeout, sizeof Timeout);
    if (::connect(Fd, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) != 0) {
        ::close(Fd);
        return -1;
    }
    return Fd;
}

bool SomeoneListens(const QString& Path) {
    const int Fd = ConnectTo(Path, LivenessMilliseconds);
    if (Fd < 0) return false;
    ::close(Fd);
    return true;
}

// Listens at Path, reachable by this user only: bound in a private folder beside it,
// made 0600 and only then linked to its name, which an existing file keeps (EEXIST).
// Returns the listening socket (non-blocking) or -1 with errno set.
int ListenAt(const QString& Path, ino_t& Inode) {
    QByteArray Folder = QFile::encodeName(Path) + ".XXXXXX";
    if (!::mkdtemp(Folder.data())) return -1;
    const QString Private = QFile::decodeName(Folder) + QStringLiteral("/s");
    const QByteArray PrivateName = QFile::encodeName(Private);
    sockaddr_un Address;
    int Fd = -1;
    int Error = ENAMETOOLONG;
    // Path must fit an address too, for the starts that connect to it.
    if (AddressOf(Path, Address) && AddressOf(Private, Address)) {
        Fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        struct stat St;
        const bool Ok = Fd >= 0 &&
                        ::bind(Fd, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) == 0 &&
                        ::chmod(PrivateName.constData(), 0600) == 0 && ::listen(Fd, 8) == 0 &&
                        ::link(PrivateName.constData(), QFile::encodeName(Path).constData()) == 0 &&
                        ::stat(PrivateName.constData(), &St) == 0;
        Error = errno == EEXIST ? EADDRINUSE : errno;
        if (Ok) {
            Inode = St.st_ino;
        } else if (Fd >= 0) {
            ::close(Fd);
            Fd = -1;
        }
    }
    ::unlink(PrivateName.constData());
    ::rmdir(Folder.constData());
    errno = Error;
    return Fd;
}

} // namespace

namespace SingleInstance {

QString SocketPath() {
    const QString Runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!Runtime.isEmpty() && QDir(Runtime).exists()) return Runtime + QStringLiteral("/kobaltmandrexis");
    return QDir::tempPath() + QStringLiteral("/kobaltmandrexis-%1").arg(getuid());
}

bool HandOver(const QString& Path, const QStringList& Images, int TimeoutMilliseconds) {
    const int Fd = ConnectTo(Path, TimeoutMilliseconds);
    if (Fd < 0) return false;
    QByteArray Message;
    QDataStream Out(&Message, QIODevice::WriteOnly);
    Out << Images;
    qsizetype Sent = 0;
    while (Sent < Message.size()) {
        const ssize_t n =
            ::send(Fd, Message.constData() + Sent, static_cast<size_t>(Message.size() - Sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        Sent += n;
    }
    char Answer = 0;
    ssize_t Got;
    do
        Got = Sent == Message.size() ? ::recv(Fd, &Answer, 1, 0) : -1;
    while (Got < 0 && errno == EINTR);
    ::close(Fd);
    return Got == 1 && Answer == Taken;
}

// One sender: its bytes gathered until they make a whole list, then answered and closed.
class TServer::TConnection : public QObject {
  public:
    TConnection(int Fd, TServer* Server)
        : QObject(Server), Fd(Fd), Notifier(Fd, QSocketNotifier::Read, this) {
        connect(&Notifier, &QSocketNotifier::activated, this, [this, Server] { Read(Server); });
    }
    ~TConnection() override { ::close(Fd); }

  private:
    void Read(TServer* Server) {
        char Chunk[4096];
        ssize_t n;
        while ((n = ::recv(Fd, Chunk, sizeof Chunk, 0)) > 0)
            Received.append(Chunk, n);
        QDataStream In(Received);
        QStringList Images;
        In >> Images;
        if (In.status() == QDataStream::Ok) {
            ::send(Fd, &Taken, 1, MSG_NOSIGNAL);
            QTimer::singleShot(0, Server, [Server, Images] { Server->Open(Images); });
        } else if (In.status() == QDataStream::ReadPastEnd && n < 0 && (errno == EAGAIN || errno == EINTR)) {
            return; // the rest is still on its way
        }
        Notifier.setEnabled(false);
        deleteLater();
    }

    int Fd;
    QSocketNotifier Notifier;
    QByteArray Received;
};

TServer::TServer(const QString& Path, std::function<void(const QStringList&)> Open, QObject* Parent)
    : QObject(Parent), Path(Path), Open(std::move(Open)) {
    Fd = ListenAt(Path, Inode);
    if (Fd < 0 && errno == EADDRINUSE && !SomeoneListens(Path)) {
        ::unlink(QFile::encodeName(Path).constData());
        Fd = ListenAt(Path, Inode);
    }
    if (Fd < 0) return;
    auto* Notifier = new QSocketNotifier(Fd, QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, [this] {
        int Connection;
        while ((Connection = ::accept4(this->Fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0)
            new TConnection(Connection, this);
    });
}

TServer::~TServer() {
    if (Fd < 0) return;
    // The name goes with the server, unless another editor has taken it since.
    struct stat St;
    const QByteArray Name = QFile::encodeName(Path);
    if (::stat(Name.constData(), &St) == 0 && St.st_ino == Inode) ::unlink(Name.constData());
    ::close(Fd);
}

bool TServer::Listening() const {
    return Fd >= 0;
}

} // namespace SingleInstance
