// Starting a program: the Windows command-line rules that cut the argument string,
// the started program's arguments, folder and environment, the system's error
// codes when it cannot start, how it ended when it stopped at once, and finding it.
#include "PosixProcessStarter.h"
#include "ProgramPath.h"
#include "WindowsCommandLine.h"

#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <unistd.h>

using TArguments = std::vector<std::string>;
Q_DECLARE_METATYPE(TArguments)

namespace {

// What the recording stand-in wrote, once it has: its folder, then its arguments.
QByteArrayList WaitForRecord(const QString& Path) {
    if (!QTest::qWaitFor([&] { return QFile::exists(Path); }, 5000)) return {};
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly)) return {};
    QByteArrayList Lines = File.readAll().split('\n');
    Lines.removeLast(); // after the final line break
    return Lines;
}

// How many children of this process have ended without being waited for (<defunct>).
int ZombieChildren() {
    int Count = 0;
    for (const QString& Entry : QDir("/proc").entryList(QDir::Dirs)) {
        QFile Stat("/proc/" + Entry + "/stat");
        if (!Entry.front().isDigit() || !Stat.open(QIODevice::ReadOnly)) continue;
        // "pid (name) state parent ...": the name may hold anything, so read after its end.
        const QByteArray Line = Stat.readAll();
        const QList<QByteArray> Fields = Line.mid(Line.lastIndexOf(')') + 2).split(' ');
        if (Fields.size() > 1 && Fields[0] == "Z" && Fields[1].toInt() == getpid()) ++Count;
    }
    return Count;
}

} // namespace

class ProcessStartTest : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    QString Record;

    // The recorder copied into a folder of our own (the copy keeps its permissions).
    QString PlaceRecorder(const QString& Folder) {
        QDir().mkpath(Folder);
        const QString Target = Folder + "/recorder";
        QFile::copy(KBM_RECORDER, Target);
        return Target;
    }

  private slots:
    void init() {
        QVERIFY(Dir.isValid());
        Record = Dir.filePath("record.txt");
        QFile::remove(Record);
        qputenv("KBM_RECORD_FILE", QFile::encodeName(Record));
    }

    void splitFollowsTheWindowsRules_data() {
        QTest::addColumn<QByteArray>("Line");
        QTest::addColumn<TArguments>("Expected");
        QTest::newRow("quoted part inside an argument")
            << QByteArray(" \"/d/games.d64\",2 -window -fastload -autorun ")
            << TArguments{"/d/games.d64,2", "-window", "-fastload", "-autorun"};
        QTest::newRow("winvice") << QByteArray(" +truedrive \"/my disks/g.d64:frogger\" ")
                                 << TArguments{"+truedrive", "/my disks/g.d64:frogger"};
        QTest::newRow("empty quotes") << QByteArray("\"\" x") << TArguments{"", "x"};
        QTest::newRow("escaped quote, lone backslash")
            << QByteArray("\"ab\\\"c\" \"\\\\\" d") << TArguments{"ab\"c", "\\", "d"};
        QTest::newRow("backslashes without quote")
            << QByteArray("a\\\\\\b d\"e f\"g h") << TArguments{"a\\\\\\b", "de fg", "h"};
        QTest::newRow("odd backslashes before quote")
            << QByteArray("a\\\\\\\"b c d") << TArguments{"a\\\"b", "c", "d"};
        QTest::newRow("even backslashes before quote")
            << QByteArray("a\\\\\\\\\"b c\" d e") << TArguments{"a\\\\b c", "d", "e"};
        QTest::newRow("doubled quote inside quotes") << QByteArray("a\"b\"\" c d") << TArguments{"ab\" c d"};
        QTest::newRow("bytes above 127")
            << QByteArray("\"\xC1\xA0 x\" \xFF") << TArguments{"\xC1\xA0 x", "\xFF"};
    }

    void splitFollowsTheWindowsRules() {
        QFETCH(QByteArray, Line);
        QFETCH(TArguments, Expected);
        QCOMPARE(WindowsCommandLine::Split(Line.toStdString()), Expected);
    }

    void startedProgramGetsArgumentsFolderAndEnvironment() {
        const QString Folder = Dir.filePath("emu dir");
        const QString Program = PlaceRecorder(Folder);
        TPosixProcessStarter Starter;
        const std::string Line = " \"/d/my games\xE9.d64\",2 -window -fastload -autorun ";
        QCOMPARE(Starter.StartProcess(QFile::encodeName(Program).toStdString(), Line,
                                      QFile::encodeName(Folder).toStdString()),
                 0);
        // The variable naming the record reached the program: the environment is ours.
        QCOMPARE(WaitForRecord(Record), (QByteArrayList{QFile::encodeName(Folder), "/d/my games\xE9.d64,2",
                                                        "-window", "-fastload", "-autorun"}));

        // A relative program path means our folder, whatever folder the program gets.
        QFile::remove(Record);
        QVERIFY(QDir::setCurrent(Folder));
        QCOMPARE(Starter.StartProcess("recorder", "", QFile::encodeName(Dir.path()).toStdString()), 0);
        QCOMPARE(WaitForRecord(Record), QByteArrayList{QFile::encodeName(Dir.path())});
    }

    void endedProgramLeavesNoZombie() {
        const QString Program = PlaceRecorder(Dir.filePath("emu"));
        TPosixProcessStarter Starter;
        QCOMPARE(Starter.StartProcess(QFile::encodeName(Program).toStdString(), "", ""), 0);
        QVERIFY(!WaitForRecord(Record).isEmpty());
        // Reaped once it ends, while the starter lives on and starts nothing else.
        QVERIFY(QTest::qWaitFor([] { return ZombieChildren() == 0; }, 5000));
    }

    void failuresReportTheSystemErrorCode() {
        TPosixProcessStarter Starter;
        const std::string Missing = QFile::encodeName(Dir.filePath("missing")).toStdString();
        QCOMPARE(Starter.StartProcess(Missing, "", ""), ENOENT);

        QFile Text(Dir.filePath("readme.txt"));
        QVERIFY(Text.open(QIODevice::WriteOnly));
        Text.write("no program\n");
        Text.close();
        const std::string TextPath = QFile::encodeName(Text.fileName()).toStdString();
        QCOMPARE(Starter.StartProcess(TextPath, "", ""), EACCES);
        // Allowed to run but no program: never handed to a shell instead.
        Text.setPermissions(Text.permissions() | QFile::ExeOwner);
        QCOMPARE(Starter.StartProcess(TextPath, "", ""), ENOEXEC);

        const QString Program = PlaceRecorder(Dir.filePath("emu"));
        QCOMPARE(Starter.StartProcess(QFile::encodeName(Program).toStdString(), "", Missing), ENOENT);
        QVERIFY(!QFile::exists(Record));
    }

    void aProgramThatStopsAtOnceIsReported() {
        TPosixProcessStarter Starter;
        // Eleven lines of error, then status 1: the last ten lines, without the final break.
        const std::string Script = "-c \"for i in 0 1 2 3 4 5 6 7 8; do echo line $i >&2; done; "
                                   "echo \\\"Unknown option '+truedrive'.\\\" >&2; exit 1\"";
        QCOMPARE(Starter.StartProcess("/bin/sh", Script, ""), 0);
        QVERIFY(Starter.Watching());
        std::vector<TEarlyFailure> Failures;
        QVERIFY(QTest::qWaitFor([&] { return !(Failures = Starter.TakeEarlyFailures()).empty(); }, 5000));
        QCOMPARE(Failures.size(), std::size_t(1));
        QCOMPARE(Failures[0].Program, std::string("/bin/sh"));
        QVERIFY(Failures[0].ExitStatus == 1 && Failures[0].Signal == 0);
        QCOMPARE(Failures[0].LastLines, std::string("line 0\nline 1\nline 2\nline 3\nline 4\nline 5\nline 6\n"
                                                    "line 7\nline 8\nUnknown option '+truedrive'."));
        QVERIFY(!Starter.Watching());
        // Status 0 is no failure; a signal is.
        QCOMPARE(Starter.StartProcess("/bin/sh", "-c \"echo fine >&2\"", ""), 0);
        QCOMPARE(Starter.StartProcess("/bin/sh", "-c \"kill -9 $$\"", ""), 0);
        QVERIFY(QTest::qWaitFor([&] { return !(Failures = Starter.TakeEarlyFailures()).empty(); }, 5000));
        QVERIFY(QTest::qWaitFor([&] { return !Starter.Watching(); }, 5000));
        QCOMPARE(Failures.size() + Starter.TakeEarlyFailures().size(), std::size_t(1));
        QVERIFY(Failures[0].Signal == SIGKILL && Failures[0].LastLines.empty());
        // SIGPIPE is ignored: the program outlives the pipe when this program ends (status 3).
        QCOMPARE(Starter.StartProcess(
                     "/bin/sh",
                     "-c \"exit $(( (0x$(sed -n 's/^SigIgn:\\t//p' /proc/$$/status) >> 12 & 1) * 3 ))\"", ""),
                 0);
        QVERIFY(QTest::qWaitFor([&] { return !(Failures = Starter.TakeEarlyFailures()).empty(); }, 5000));
        QCOMPARE(Failures[0].ExitStatus, 3);
        QVERIFY(QTest::qWaitFor([] { return ZombieChildren() == 0; }, 5000));
    }

    void programsAreFoundAsAShellFindsThem() {
        const std::string D = QFile::encodeName(Dir.path()).toStdString();
        for (const char* Folder : {"/a", "/b"})
            QDir().mkpath(Dir.path() + Folder);
        QFile(Dir.filePath("a/x64sc")).open(QIODevice::WriteOnly); // not executable: passed over
        PlaceRecorder(Dir.filePath("b"));
        QFile::rename(Dir.filePath("b/recorder"), Dir.filePath("b/x64sc"));
        const std::string Path = D + "/missing:" + D + "/a:" + D + "/b/";
        QCOMPARE(ProgramPath::Find("x64sc", Path, "/home/u"), D + "/b/x64sc");
        QCOMPARE(ProgramPath::Find("x64", Path, "/home/u"), std::string("x64"));
        QCOMPARE(ProgramPath::Find("~/vice/x64sc", Path, "/home/u"), std::string("/home/u/vice/x64sc"));
        QCOMPARE(ProgramPath::Find("a/x64sc", Path, "/home/u"), std::string("a/x64sc"));
        // An empty entry is the current folder.
        QVERIFY(QDir::setCurrent(Dir.filePath("b")));
        QCOMPARE(ProgramPath::Find("x64sc", "/nowhere::", ""), std::string("./x64sc"));
    }
};

QTEST_GUILESS_MAIN(ProcessStartTest)
#include "ProcessStartTest.moc"
