// The hand-over between two starts of the editor: the images as a QStringList in a
// QDataStream, answered by one byte once received.
#include "SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <unistd.h>

namespace {

const char Taken = 'k';
// How long a socket file is tried before it counts as left behind.
const int LivenessMilliseconds = 1000;

bool SomeoneListens(const QString& Path) {
    QLocalSocket Probe;
    Probe.connectToServer(Path);
    return Probe.waitForConnected(LivenessMilliseconds);
}

} // namespace

namespace SingleInstance {

QString SocketPath() {
    const QString Runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!Runtime.isEmpty() && QDir(Runtime).exists()) return Runtime + QStringLiteral("/kobaltmandrexis");
    return QDir::tempPath() + QStringLiteral("/kobaltmandrexis-%1").arg(getuid());
}

bool HandOver(const QString& Path, const QStringList& Images, int TimeoutMilliseconds) {
    QLocalSocket Socket;
    Socket.connectToServer(Path);
    if (!Socket.waitForConnected(TimeoutMilliseconds)) return false;
    QByteArray Message;
    QDataStream Out(&Message, QIODevice::WriteOnly);
    Out << Images;
    Socket.write(Message);
    if (!Socket.waitForBytesWritten(TimeoutMilliseconds)) return false;
    char Answer = 0;
    return Socket.waitForReadyRead(TimeoutMilliseconds) && Socket.getChar(&Answer) && Answer == Taken;
}

TServer::TServer(const QString& Path, std::function<void(const QStringList&)> Open, QObject* Parent)
    : QObject(Parent), Server(new QLocalServer(this)), Open(std::move(Open)) {
    // Only this user may hand images over.
    Server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!Server->listen(Path) && Server->serverError() == QAbstractSocket::AddressInUseError &&
        !SomeoneListens(Path)) {
        QLocalServer::removeServer(Path);
        Server->listen(Path);
    }
    connect(Server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* Socket = Server->nextPendingConnection()) {
            connect(Socket, &QLocalSocket::disconnected, Socket, &QObject::deleteLater);
            connect(Socket, &QLocalSocket::readyRead, this, [this, Socket] {
                QDataStream In(Socket);
                In.startTransaction();
                QStringList Images;
                In >> Images;
                if (!In.commitTransaction()) return; // the rest is still on its way
                Socket->putChar(Taken);
                Socket->flush();
                QTimer::singleShot(0, this, [this, Images] { this->Open(Images); });
            });
        }
    });
}

bool TServer::Listening() const {
    return Server->isListening();
}

} // namespace SingleInstance
