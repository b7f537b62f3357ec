// The file viewer opened from the window: F3, File > View and the popup's View on a BASIC
// program, a SEQ file and a Koala picture; the tab each opens on, the character sets, the
// picture's zoom and PNG file, and Escape.
#include "D64StringGrid.h"
#include "FileViewer.h"
#include "PetsciiText.h"
#include "PetsciiView.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

// 10 PRINT"{CLR}HI":GOTO10
const ByteArray Program = {0x01, 0x08, 0x10, 0x08, 0x0A, 0x00, 0x99, '"',  0x93, 'H',
                           'I',  '"',  ':',  0x89, '1',  '0',  0x00, 0x00, 0x00};

// A Koala picture at $6000: the top left pixel pair from the colour RAM (yellow), the
// rest the background (blue).
ByteArray Koala() {
    ByteArray File(10003, 0);
    File[1] = 0x60;
    File[2] = 0b11000000;
    File[2 + 9000] = 0x07;
    File[2 + 10000] = 0x06;
    return File;
}

} // namespace

class ViewerTest : public QObject {
    Q_OBJECT

    TWindowFixture Fixture;

    QList<TFileViewer*> Viewers() const { return Fixture.Form->findChildren<TFileViewer*>(); }

  private slots:
    void initTestCase() {
        for (const char* File : {"/CBM64_G.fon", "/CBM64_S.fon"})
            QVERIFY(QFontDatabase::addApplicationFont(QStringLiteral(KBM_FONT_DIR) + File) >= 0);
    }

    void viewerOpensOnTheViewThatFitsEachFile() {
        const QString Image =
            MakeImage(Fixture.PathOf("view.d64"),
                      {{"HELLO", Program}, {"README", {0x05, 'A', 0x0D, 'B'}, 0x81}, {"PIC", Koala()}});
        Fixture.Show();
        Fixture.Open(1, Image);
        TD64StringGrid* View = Fixture.View(1);

        // F3 on the program: its listing, in the pane's font, the character set to match.
        View->SetRow(1);
        QTest::keyClick(View, Qt::Key_F3);
        QCOMPARE(Viewers().size(), 1);
        TFileViewer* Basic = Viewers().last();
        QCOMPARE(Basic->CurrentView(), TViewKind::Basic);
        QCOMPARE(Basic->ViewText(TViewKind::Basic),
                 "; LOAD ADDRESS $0801\n10 PRINT\"" + PetsciiText::ToDisplay("\x93") + "HI\":GOTO10");
        QCOMPARE(Basic->Face(), Fixture.Form->PaneFace());
        QVERIFY(Basic->isVisible() && Basic->isWindow());
        // The other character set, for every text view.
        Basic->CharSet->setCurrentIndex(1);
        QCOMPARE(Basic->findChild<TPetsciiView*>()->Face(), QString(TFileViewer::LowerFace));
        QCOMPARE(Basic->ViewText(TViewKind::Hex).section('\n', 0, 0),
                 "0801  10 08 0A 00 99 22 93 48  49 22 3A 89 31 30 00 00  " +
                     PetsciiText::ToDisplay(std::string("\x10\x08\x0A\x00\x99\"\x93HI\":\x89"
                                                        "10\x00\x00",
                                                        16)));

        // The SEQ file through File > View: a second window, on its text.
        Fixture.Form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Fixture.Form.get()));
        View->SetFocus();
        View->SetRow(2);
        QAction* Item = nullptr;
        for (QAction* Candidate : Fixture.Form->findChildren<QAction*>())
            if (Candidate->shortcut() == QKeySequence(Qt::Key_F3)) Item = Candidate;
        QVERIFY(Item && Item->text() == "&View");
        Item->trigger();
        QCOMPARE(Viewers().size(), 2);
        TFileViewer* Text = Viewers().last();
        QCOMPARE(Text->CurrentView(), TViewKind::Text);
        QCOMPARE(Text->ViewText(TViewKind::Text), PetsciiText::ToDisplay("\x05"
                                                                         "A") +
                                                      "\nB");
        QVERIFY(!Text->Tabs->isTabEnabled(int(TViewKind::Picture)));

        // The picture, at 2x, then 3x, saved as PNG.
        View->SetRow(3);
        Item->trigger();
        TFileViewer* Picture = Viewers().last();
        QCOMPARE(Picture->CurrentView(), TViewKind::Picture);
        QCOMPARE(Picture->PictureInfo->text(), QString("Koala Painter multicolour, load address $6000"));
        QCOMPARE(Picture->PictureView->pixmap().size(), QSize(640, 400));
        Picture->Zoom->setCurrentIndex(2);
        const QImage Shown = Picture->PictureView->pixmap().toImage();
        QCOMPARE(Shown.size(), QSize(960, 600));
        QCOMPARE(Shown.pixel(5, 2), qRgb(0xB8, 0xC7, 0x6F)); // yellow, three times two pixels wide
        QCOMPARE(Shown.pixel(6, 2), qRgb(0x35, 0x28, 0x79)); // blue
        Fixture.Prompts.SaveFileNames.push_back(Fixture.PathOf("pic.png"));
        QTest::mouseClick(Picture->SavePicture, Qt::LeftButton);
        QCOMPARE(Fixture.Prompts.Shown.last().Path, QString("pic.png"));
        QCOMPARE(QImage(Fixture.PathOf("pic.png")).convertToFormat(QImage::Format_RGB32), Shown);

        // Escape closes one viewer; the others stay.
        QPointer<TFileViewer> Closed = Picture;
        QTRY_COMPARE(QApplication::activeWindow(), Picture);
        QTest::keyClick(Picture, Qt::Key_Escape);
        QTRY_VERIFY(Closed.isNull());
        QCOMPARE(Viewers().size(), 2);
        QVERIFY(Fixture.Prompts.Unexpected.isEmpty());
    }
};

QTEST_MAIN(ViewerTest)
#include "ViewerTest.moc"
