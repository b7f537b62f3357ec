// The program's arguments: images for the two panes, --help, --version and unknown
// options (what the real program prints for each: command_line.sh).
#include "StartUp.h"

#include <QDir>
#include <QtTest>
#include <sstream>

using StartUp::TCommandLine;
using TAction = TCommandLine::TAction;

Q_DECLARE_METATYPE(TAction)

class CommandLineTest : public QObject {
    Q_OBJECT

    struct TAnswered {
        std::optional<int> ExitCode;
        QString Out, Err;
    };

    static TAnswered Answer(const QStringList& Arguments) {
        std::ostringstream Out, Err;
        TAnswered Result;
        Result.ExitCode = StartUp::Answer(StartUp::ParseCommandLine(Arguments), Out, Err);
        Result.Out = QString::fromStdString(Out.str());
        Result.Err = QString::fromStdString(Err.str());
        return Result;
    }

  private slots:
    void ImagesBecomeFullPaths() {
        const QString Here = QDir::currentPath();
        QCOMPARE(StartUp::ParseCommandLine({}).Images, QStringList());
        const TCommandLine Two = StartUp::ParseCommandLine({"left.d64", "/disks/../games/right.d64"});
        QCOMPARE(Two.Action, TAction::Run);
        QCOMPARE(Two.Images, (QStringList{Here + "/left.d64", "/games/right.d64"}));
        QVERIFY(Two.Ignored.isEmpty());

        // A lone "-" and anything after "--" are names, never options.
        const TCommandLine Names = StartUp::ParseCommandLine({"-", "--", "--help"});
        QCOMPARE(Names.Action, TAction::Run);
        QCOMPARE(Names.Images, (QStringList{Here + "/-", Here + "/--help"}));
        QVERIFY(!Names.NewWindow);
        // --new-window anywhere among the images; after "--" it is a name.
        const TCommandLine New = StartUp::ParseCommandLine({"a.d64", "--new-window", "--", "--new-window"});
        QVERIFY(New.NewWindow && New.Action == TAction::Run);
        QCOMPARE(New.Images, (QStringList{Here + "/a.d64", Here + "/--new-window"}));
    }

    // There are two panes: a third image (a file manager may hand over several) is named
    // on the error stream and the program runs with the first two.
    void ImagesPastTheSecondAreIgnored() {
        const TCommandLine Line = StartUp::ParseCommandLine({"/a.d64", "/b.d64", "/c.d64", "/d.d64"});
        QCOMPARE(Line.Images, (QStringList{"/a.d64", "/b.d64"}));
        QCOMPARE(Line.Ignored, (QStringList{"/c.d64", "/d.d64"}));
        const TAnswered Answered = Answer({"/a.d64", "/b.d64", "/c.d64"});
        QVERIFY(!Answered.ExitCode);
        QCOMPARE(Answered.Err, QString("kobaltmandrexis: only two images can be open, ignoring /c.d64\n"));
        QVERIFY(Answered.Out.isEmpty());
    }

    void OptionsDecideInOrder_data() {
        QTest::addColumn<QStringList>("Arguments");
        QTest::addColumn<TAction>("Action");
        QTest::addColumn<QString>("BadOption");
        QTest::newRow("help") << QStringList{"a.d64", "--help"} << TAction::Help << "";
        QTest::newRow("short help") << QStringList{"-h"} << TAction::Help << "";
        QTest::newRow("version") << QStringList{"--version", "--bogus"} << TAction::Version << "";
        QTest::newRow("unknown first") << QStringList{"--bogus", "--help"} << TAction::Usage << "--bogus";
        QTest::newRow("qt option unseen by Qt")
            << QStringList{"-platform", "x"} << TAction::Usage << "-platform";
        QTest::newRow("help with value") << QStringList{"--help=all"} << TAction::Usage << "--help=all";
    }
    void OptionsDecideInOrder() {
        QFETCH(QStringList, Arguments);
        QFETCH(TAction, Action);
        QFETCH(QString, BadOption);
        const TCommandLine Line = StartUp::ParseCommandLine(Arguments);
        QCOMPARE(Line.Action, Action);
        QCOMPARE(Line.BadOption, BadOption);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
