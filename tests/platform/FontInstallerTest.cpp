// Looking up and installing font files as application fonts.
#include "QtFontInstaller.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class FontInstallerTest : public QObject {
    Q_OBJECT

    QTemporaryDir FFirst, FSecond;

    // Copies a TrueType font of the system to Target; false when there is none.
    static bool CopySystemFont(const QString& Target) {
        for (const char* Candidate : {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                      "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"})
            if (QFile::copy(QString::fromLatin1(Candidate), Target)) return true;
        return false;
    }

  private slots:
    void MissingFileFails() {
        QtFontInstaller Fonts({FFirst.path(), FSecond.path()});
        QVERIFY(!Fonts.AddFont("CBM64_S.fon"));
        QVERIFY(!Fonts.RemoveFont("CBM64_S.fon"));
    }

    void FileThatIsNoFontFails() {
        QFile Bogus(FFirst.filePath("Bogus.fon"));
        QVERIFY(Bogus.open(QIODevice::WriteOnly));
        Bogus.write("MZ this is not a font resource");
        Bogus.close();
        QtFontInstaller Fonts({FFirst.path()});
        QVERIFY(!Fonts.AddFont("Bogus.fon"));
        QVERIFY(!Fonts.RemoveFont("Bogus.fon"));
    }

    void FoundInALaterFolderAndRemovedOnce() {
        if (!CopySystemFont(FSecond.filePath("Probe.ttf"))) QSKIP("no system TrueType font to copy");
        QtFontInstaller Fonts({FFirst.path(), FSecond.path()});
        QCOMPARE(Fonts.FindFile("Probe.ttf"), QDir(FSecond.path()).absoluteFilePath("Probe.ttf"));
        QVERIFY(Fonts.AddFont("Probe.ttf"));
        QVERIFY(Fonts.AddFont("Probe.ttf")); // already installed
        QVERIFY(Fonts.RemoveFont("Probe.ttf"));
        QVERIFY(!Fonts.RemoveFont("Probe.ttf"));
    }

    void OnlyBareNamesAreLookedUp() {
        if (!CopySystemFont(FFirst.filePath("Bare.ttf"))) QSKIP("no system TrueType font to copy");
        QtFontInstaller Fonts({FSecond.path()});
        // The file exists, but only through a path, which the installer does not follow.
        QVERIFY(!Fonts.AddFont(FFirst.filePath("Bare.ttf")));
        QVERIFY(!Fonts.AddFont("../" + QDir(FFirst.path()).dirName() + "/Bare.ttf"));
    }
};

QTEST_MAIN(FontInstallerTest)
#include "FontInstallerTest.moc"
