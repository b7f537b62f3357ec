// One window for every image the user opens: a start that finds the editor running hands
// its images to it over a per-user local socket and ends; the running editor listens there.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <sys/types.h>

namespace SingleInstance {

// The socket of this user's editor: in XDG_RUNTIME_DIR (the user's own folder), else in
// the temporary folder under the user's id.
QString SocketPath();

// Hands Images (absolute paths, possibly none) to the editor listening at Path. True once
// it took them; false when none listens there or it did not answer in time.
bool HandOver(const QString& Path, const QStringList& Images, int TimeoutMilliseconds = 5000);

// Listens at Path and calls Open with the images of each hand-over, from the event loop,
// after the sender has its answer. A socket that a crashed editor left behind (nobody
// answers there) is replaced; one that a running editor holds is left alone, and then this
// one does not listen.
class TServer : public QObject {
    Q_OBJECT

  public:
    TServer(const QString& Path, std::function<void(const QStringList&)> Open, QObject* Parent = nullptr);
    ~TServer() override;
    bool Listening() const;

  private:
    class TConnection;
    QString Path;
    std::function<void(const QStringList&)> Open;
    int Fd = -1;
    // The socket file's, to remove it only while it is still this server's.
    ino_t Inode = 0;
};

} // namespace SingleInstance
