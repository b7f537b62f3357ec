// The About box: the date of a revision string, the version line from the program's
// version, the system line, the failure message, the picture and its placement.
#include "InfoDlg.h"
#include "FixedSystemInfo.h"
#include "ScriptedPrompts.h"

#include <QBitmap>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class InfoDlgTest : public QObject {
    Q_OBJECT

    ScriptedPrompts Prompts;
    TFixedSystemInfo System;

    // Shows the dialog modally, runs Check while it is up, and closes it with Return.
    int ShowAndCheck(const std::function<void(TInfoDlg&)>& Check) {
        TInfoDlg Dialog(System, Prompts);
        QTimer::singleShot(0, &Dialog, [&] {
            Check(Dialog);
            QTest::keyClick(&Dialog, Qt::Key_Return);
        });
        return Dialog.exec();
    }

  private slots:
    void init() {
        Prompts.Clear();
        System = TFixedSystemInfo();
    }

    void dateFromRevision() {
        QCOMPARE(TInfoDlg::GetDateFromRevision("$Revision: 1.12 $#$Date: 2004/02/01 10:55:06 $#$Author: x $"),
                 QString("2004/02/01"));
        QCOMPARE(TInfoDlg::GetDateFromRevision("$Date: 1999/12/31 $ $Date: 2004/02/01 $"),
                 QString("1999/12/31"));
        QCOMPARE(TInfoDlg::GetDateFromRevision("$Revision: 1.12 $#$Author: x $"), QString());
        QCOMPARE(TInfoDlg::GetDateFromRevision("$Date: 2004"), QString("2004"));
    }

    void showsVersionBuildDateSystemAndPicture() {
        const int Result = ShowAndCheck([](TInfoDlg& Dialog) {
            QCOMPARE(Dialog.windowTitle(), QString("Program Info"));
            QCOMPARE(Dialog.size(), QSize(302, 259));
            QCOMPARE(Dialog.Version->text(), QString("Version: 0.2.0  ( Build: 70 - 2004/02/01 )"));
            QCOMPARE(Dialog.OS->text(),
                     QString("running Linux 6.1.0 build:1\nDebian GNU/Linux 12 (bookworm)"));
            // The picture, centred below the top of the frame, its background see-through.
            QCOMPARE(Dialog.Image1->geometry(), QRect(302 / 2 - 215 / 2, 26, 215, 110));
            const QBitmap Mask = Dialog.Image1->pixmap().mask();
            QVERIFY(!Mask.isNull());
            QCOMPARE(Mask.toImage().pixelIndex(0, 109), 0);
            QCOMPARE(Mask.toImage().pixelIndex(60, 70), 1);
        });
        QCOMPARE(Result, int(QDialog::Accepted));
        QVERIFY(Prompts.Shown.isEmpty());
    }

    void unknownSystemKeepsDesignedLine() {
        System.Line.reset();
        System.Version = "7";
        ShowAndCheck([](TInfoDlg& Dialog) {
            QCOMPARE(Dialog.OS->text(), QString("running : xxx"));
            QCOMPARE(Dialog.Version->text(), QString("Version: 7  ( Build:  - 2004/02/01 )"));
        });
        QCOMPARE(Prompts.Messages(), QStringList{"Error while getting OS Informations!"});

        System.Version.clear();
        ShowAndCheck([](TInfoDlg& Dialog) {
            QCOMPARE(Dialog.Version->text(), QString("Version: 0.0.0 ( Build 0 )"));
        });
    }
};

QTEST_MAIN(InfoDlgTest)
#include "InfoDlgTest.moc"
