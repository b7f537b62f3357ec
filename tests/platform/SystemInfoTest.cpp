// The About box's system line (the Windows table and the same shape from a Unix host)
// and the program's own version block read back at run time.
#include "HostSystemInfo.h"
#include "OsLine.h"

#include <QtTest>
#include <sys/utsname.h>

class SystemInfoTest : public QObject {
    Q_OBJECT

  private slots:
    void windowsLine_data() {
        QTest::addColumn<uint>("Platform");
        QTest::addColumn<uint>("Major");
        QTest::addColumn<uint>("Minor");
        QTest::addColumn<uint>("Build");
        QTest::addColumn<QByteArray>("ServicePack");
        QTest::addColumn<QString>("Line");
        QTest::newRow("XP SP2") << 2u << 5u << 1u << 2600u << QByteArray("Service Pack 2")
                                << "running Windows XP 5.1 build:2600\r\nService Pack 2";
        QTest::newRow("5.2 has no name")
            << 2u << 5u << 2u << 3790u << QByteArray() << "running Windows 5.2 build:3790\r\n";
        QTest::newRow("NT 4") << 2u << 4u << 0u << 1381u << QByteArray("Service Pack 6")
                              << "running Windows NT 4.0 build:1381\r\nService Pack 6";
        // The 95 family keeps version numbers in the high half of the build number.
        QTest::newRow("98") << 1u << 4u << 10u << 0x040A07CEu << QByteArray()
                            << "running Windows 98 4.10 build:1998\r\n";
        QTest::newRow("95 family 4.1")
            << 1u << 4u << 1u << 5u << QByteArray() << "running Windows 4.1 build:5\r\n";
        QTest::newRow("service pack ends at NUL") << 2u << 5u << 1u << 2600u << QByteArray("SP1\0junk", 8)
                                                  << "running Windows XP 5.1 build:2600\r\nSP1";
    }

    void windowsLine() {
        QFETCH(uint, Platform);
        QFETCH(uint, Major);
        QFETCH(uint, Minor);
        QFETCH(uint, Build);
        QFETCH(QByteArray, ServicePack);
        QFETCH(QString, Line);
        QCOMPARE(OsLine::ForWindows({Platform, Major, Minor, Build, ServicePack.toStdString()}), Line);
    }

    void hostLineFromUnameAndOsRelease() {
        QCOMPARE(OsLine::ForHost({"Linux", "6.1.0-18-amd64", "1", "Debian GNU/Linux 12 (bookworm)"}),
                 QString("running Linux 6.1.0-18-amd64 build:1\r\nDebian GNU/Linux 12 (bookworm)"));
        QCOMPARE(OsLine::KernelBuild("#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)"), QString("1"));
        QCOMPARE(OsLine::KernelBuild("  #42-Ubuntu SMP"), QString("42-Ubuntu"));
        QCOMPARE(OsLine::DistributionName(
                     "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
                 QString("Debian GNU/Linux 12 (bookworm)"));
        QCOMPARE(OsLine::DistributionName("NAME='Alpine Linux'\nID=alpine"), QString("Alpine Linux"));
        QCOMPARE(OsLine::DistributionName("PRETTY_NAME=\"Say \\\"hi\\\"\"\n"), QString("Say \"hi\""));
        QCOMPARE(OsLine::DistributionName("ID=none"), QString());

        // This host: its system name first, then the second line.
        utsname Host{};
        QCOMPARE(uname(&Host), 0);
        const std::optional<QString> Line = THostSystemInfo().SystemLine();
        QVERIFY(Line);
        QVERIFY2(Line->startsWith(QString("running %1 %2 build:").arg(Host.sysname, Host.release)),
                 qPrintable(*Line));
        QCOMPARE(Line->count("\r\n"), 1);
    }

    void versionBlockIsReadBack() { QCOMPARE(THostSystemInfo().FileVersion(), QString("0.2.0.70")); }
};

QTEST_GUILESS_MAIN(SystemInfoTest)
#include "SystemInfoTest.moc"
