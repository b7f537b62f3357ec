// The hand-over socket: a list sent in pieces arrives whole, a second server leaves the
// first one's socket alone, a server removes only its own socket, a stale one is replaced.
#include "SingleInstance.h"

#include <QTemporaryDir>
#include <QtTest>
#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class SingleInstanceTest : public QObject {
    Q_OBJECT

    static sockaddr_un AddressOf(const QString& Path) {
        sockaddr_un Address{};
        Address.sun_family = AF_UNIX;
        qstrncpy(Address.sun_path, QFile::encodeName(Path).constData(), sizeof Address.sun_path);
        return Address;
    }

    // A raw sender that writes the serialised list in two parts, a pause between them.
    static bool SendInTwoParts(const QString& Path, const QStringList& Images) {
        QByteArray Message;
        QDataStream Out(&Message, QIODevice::WriteOnly);
        Out << Images;
        const int Fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un Address = AddressOf(Path);
        char Answer = 0;
        const bool Ok = ::connect(Fd, reinterpret_cast<sockaddr*>(&Address), sizeof Address) == 0 &&
                        ::write(Fd, Message.constData(), 5) == 5 && (::usleep(100000), true) &&
                        ::write(Fd, Message.constData() + 5, Message.size() - 5) == Message.size() - 5 &&
                        ::read(Fd, &Answer, 1) == 1 && Answer == 'k';
        ::close(Fd);
        return Ok;
    }

  private slots:
    void HandsOverAndKeepsToItsOwnSocket() {
        QTemporaryDir Dir;
        const QString Path = Dir.filePath("socket");
        QStringList Opened;
        auto First =
            std::make_unique<SingleInstance::TServer>(Path, [&](const QStringList& I) { Opened += I; });
        QVERIFY(First->Listening());

        auto Sent = std::async(std::launch::async, [&] {
            return SingleInstance::HandOver(Path, {"/a.d64", "/b.d64"});
        });
        QTRY_COMPARE(Opened, (QStringList{"/a.d64", "/b.d64"}));
        QVERIFY(Sent.get());
        auto Parts = std::async(std::launch::async, [&] { return SendInTwoParts(Path, {"/c.d64"}); });
        QTRY_COMPARE(Opened.size(), 3);
        QVERIFY(Parts.get());
        QCOMPARE(Opened.last(), QString("/c.d64"));

        // A second editor finds the first one listening: it neither listens nor takes the name.
        auto Second = std::make_unique<SingleInstance::TServer>(Path, [](const QStringList&) {});
        QVERIFY(!Second->Listening());
        Second.reset();
        QVERIFY(QFileInfo::exists(Path));
        First.reset();
        QVERIFY(!QFileInfo::exists(Path));
        QVERIFY(!SingleInstance::HandOver(Path, {}, 500));

        // A socket file nobody listens at any more (a killed editor's) is taken over.
        const int Stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un Address = AddressOf(Path);
        QCOMPARE(::bind(Stale, reinterpret_cast<sockaddr*>(&Address), sizeof Address), 0);
        ::close(Stale);
        SingleInstance::TServer Third(Path, [](const QStringList&) {});
        QVERIFY(Third.Listening());
        QCOMPARE(
            QDir(Dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList{"socket"});
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
