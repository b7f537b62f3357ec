// The BAM chart: its layout checked without a window, then the view in its dialog on
// images built with the engine: the pixels it draws against the layout, the owners in
// the file box, the hover mark and tip, toggling, and what ApplyChanges writes.
#include "BamView.h"
#include "BAMDlg.h"
#include "BamGeometry.h"
#include "ScriptedPrompts.h"
#include "TestDisks.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestDisks;

namespace {

const QSize Desktop(1024, 768);

std::vector<int> SectorCounts() {
    std::vector<int> Counts;
    for (int Track = 1; Track <= 40; ++Track)
        Counts.push_back(Track <= 17 ? 21 : Track <= 24 ? 19 : Track <= 30 ? 18 : 17);
    return Counts;
}

// The 1541 chart, the same for 35 and 40 tracks but for its shading.
const TBamGeometry Chart1541(40, SectorCounts());

QPoint CellCentre(int Track, int Sector) {
    return Chart1541.CellRect(MakeTrackSector(Track, Sector)).center();
}

// Moves the pointer over the view and waits until the view has followed it (on an X
// server the move arrives as an event of its own).
void MoveTo(TBamView* View, QPoint At) {
    QTest::mouseMove(View, At);
    QTRY_COMPARE(View->HoverCell(), View->Geometry().HitTest(At.x(), At.y(), Desktop));
}

} // namespace

class BamViewTest : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    ScriptedPrompts Prompts;
    std::unique_ptr<TBAMDlg> Dialog;

    TBamView* ShowDisk(TC64Disk& Disk) {
        Dialog = std::make_unique<TBAMDlg>(Prompts, nullptr);
        Dialog->SetDisk(&Disk);
        Dialog->show();
        // Mouse moves reach a window only once it is on the screen.
        if (!QTest::qWaitForWindowExposed(Dialog.get())) qWarning("BAM dialog not shown");
        return Dialog->BamView1;
    }
    // The dialog as drawn, in the view's coordinates.
    QImage Shot() const {
        const QRect Place = Dialog->BamView1->geometry();
        return Dialog->grab().toImage().copy(Place);
    }
    QRgb Colour(QPalette::ColorRole Role) const { return Dialog->BamView1->palette().color(Role).rgb(); }

  private slots:
    void initTestCase() {
        for (const char* File : {"CBM64_G.fon", "CBM64_S.fon"})
            QVERIFY(QFontDatabase::addApplicationFont(QString(KBM_FONT_DIR "/") + File) != -1);
    }
    void cleanup() { Dialog.reset(); }

    void cellsAndHitTestFollowThePitch() {
        QCOMPARE(Chart1541.CellRect(MakeTrackSector(1, 0)), QRect(21, 21, 13, 13));
        QCOMPARE(Chart1541.CellRect(MakeTrackSector(40, 16)), QRect(21 + 14 * 39, 21 + 14 * 16, 13, 13));
        // The line left of a cell and the one above it count to that cell; x or y 20 hits nothing.
        QCOMPARE(Chart1541.HitTest(21, 21, Desktop), MakeTrackSector(1, 0));
        QCOMPARE(Chart1541.HitTest(34, 21, Desktop), MakeTrackSector(2, 0));
        QCOMPARE(Chart1541.HitTest(33, 34, Desktop), MakeTrackSector(1, 1));
        for (QPoint Nowhere : {QPoint(20, 50), QPoint(50, 20), QPoint(-3, 50), QPoint(50, -1),
                               QPoint(1024, 50), QPoint(50, 768)})
            QCOMPARE(Chart1541.HitTest(Nowhere.x(), Nowhere.y(), Desktop), TTrackSector(0));
        const TBamGeometry Short(35, SectorCounts());
        const TBamGeometry Long(40, SectorCounts());
        QVERIFY(Short.IsCell(MakeTrackSector(17, 20)) && !Short.IsCell(MakeTrackSector(18, 19)));
        QVERIFY(Short.IsCell(MakeTrackSector(35, 16)) && !Short.IsCell(MakeTrackSector(35, 17)));
        QVERIFY(!Short.IsCell(MakeTrackSector(36, 0)) && Long.IsCell(MakeTrackSector(40, 16)));
        QVERIFY(!Long.IsCell(MakeTrackSector(41, 0)) && !Long.IsCell(0));
        QCOMPARE(Short.ShadedAreas(), std::vector<QRect>{QRect(510, 20, 70, 238)});
        QVERIFY(Long.ShadedAreas().empty());
        // The tip's lower left corner lies 5 pixels above the cell's upper right corner.
        QCOMPARE(TBamGeometry::HintPlace(QRect(121, 221, 13, 13), QSize(90, 18)), QRect(134, 198, 90, 18));
    }

    void otherKindsTakeTheirOwnChart() {
        // The 1581: 80 tracks of 40 sectors on a 12-pixel pitch, nothing shaded.
        const TBamGeometry D81 = TBamGeometry::Of(*NewDisk(Dir.filePath("chart.d81"), dtD81));
        QCOMPARE(D81.CellRect(MakeTrackSector(80, 39)), QRect(969, 489, 11, 11));
        QCOMPARE(D81.HitTest(979, 499, QSize(1280, 800)), MakeTrackSector(80, 39));
        QVERIFY(D81.IsCell(MakeTrackSector(80, 39)) && !D81.IsCell(MakeTrackSector(1, 40)));
        QVERIFY(D81.ShadedAreas().empty());
        // The 1571: the places of missing sectors shaded, three zones on each side, and all
        // of side two once the header says single-sided.
        const std::shared_ptr<TC64Disk> D71 = NewDisk(Dir.filePath("chart.d71"), dt71);
        const TBamGeometry Both = TBamGeometry::Of(*D71);
        QCOMPARE(Both.HitTest(20 + 14 * 59 + 1, 20 + 14 * 17 + 1, QSize(1280, 800)), MakeTrackSector(60, 17));
        QVERIFY(Both.IsCell(MakeTrackSector(60, 17)) && !Both.IsCell(MakeTrackSector(60, 18)));
        QCOMPARE(Both.ShadedAreas().size(), size_t(6));
        QCOMPARE(Both.ShadedAreas()[3], QRect(20 + 14 * 52, 20 + 14 * 19, 14 * 7, 14 * 2));
        D71->GetBamSector()[3] = 0;
        const TBamGeometry One = TBamGeometry::Of(*D71);
        QVERIFY(!One.IsCell(MakeTrackSector(36, 0)));
        QCOMPARE(One.ShadedAreas().back(), QRect(510, 20, 14 * 35, 14 * 21));
    }

    void chartIsDrawnWhereTheLayoutSays() {
        const std::shared_ptr<TC64Disk> Disk = NewDisk(Dir.filePath("fresh.d64"));
        ShowDisk(*Disk);
        const QImage Chart = Shot();
        const QRgb Black = qRgb(0, 0, 0), Back = Colour(QPalette::Window), Dark = Colour(QPalette::Dark),
                   Light = Colour(QPalette::Light), Mid = Colour(QPalette::Midlight);
        const QList<QPair<QPoint, QRgb>> Expected = {
            // A fresh disk: dots on 18/0 and 18/1 only; tracks 36-40 shaded.
            {CellCentre(18, 0), Black},
            {CellCentre(18, 1), Black},
            {CellCentre(17, 0), Back},
            {CellCentre(18, 2), Back},
            {CellCentre(1, 20), Back},
            {CellCentre(35, 16), Back},
            {{515, 100}, Dark},
            // Grid lines, ending where the tracks with fewer sectors begin.
            {{34, 30}, Black},
            {{258, 285}, Black},
            {{439, 258}, Black},
            // The stepped sunken outline: shadows left and top, lights right and bottom.
            {{19, 100}, Dark},
            {{20, 100}, Colour(QPalette::Shadow)},
            {{581, 100}, Light},
            {{580, 100}, Mid},
            {{445, 258}, Mid},
            {{445, 259}, Light},
            {{258, 300}, Mid},
            {{100, 315}, Light},
            // Legend frames, the used mark in the second; the file box.
            {{370, 290}, Black},
            {{377, 289}, Back},
            {{377, 307}, Black},
            {{75, 335}, Dark},
            {{274, 335}, Light}};
        for (const auto& [At, Rgb] : Expected)
            QVERIFY2(Chart.pixel(At) == Rgb, qPrintable(QString("pixel %1,%2").arg(At.x()).arg(At.y())));
        // The badge lies over the corner the chart leaves free.
        QCOMPARE(Dialog->Image1->geometry(), QRect(467, 357, 150, 27));
        QCOMPARE(Dialog->grab().toImage().pixel(469, 359), qRgb(0x2A, 0x2A, 0x2E));
        QCOMPARE(Dialog->windowTitle(), QString("Block Availability Map (BAM)"));
        QCOMPARE(Dialog->size(), QSize(636, 433));

        // 40 tracks: no shading, cells in its place; without a disk, the crossed frame.
        const std::shared_ptr<TC64Disk> Forty = NewDisk(Dir.filePath("forty.d64"), dt40Tracks, deSpeedDos);
        ShowDisk(*Forty);
        QCOMPARE(Shot().pixel(515, 100), Colour(QPalette::Window));
        TBamView Empty;
        const QImage Crossed = Empty.grab().toImage();
        QCOMPARE(Crossed.size(), QSize(100, 100));
        for (QPoint Black : {QPoint(0, 40), QPoint(50, 50), QPoint(20, 79), QPoint(99, 99)})
            QCOMPARE(Crossed.pixel(Black), qRgb(0, 0, 0));
    }

    void fileBoxNamesTheOwnerOfTracedChains() {
        const std::shared_ptr<TC64Disk> Disk = NewDisk(Dir.filePath("owners.d64"));
        uint8_t* Game = AddFile(*Disk, "GAME", 600); // 17/0, 17/10, 17/20
        const uint8_t* Data = AddFile(*Disk, "DATA", 10, 0x81);
        const auto AddEntry = [&](const PetsciiString& Name, uint8_t Type, TTrackSector First) {
            uint8_t* Entry = Disk->AllocateDirEntry();
            Entry[2] = Type;
            WriteTrackSector(Entry + 3, First);
            StringToPetscii(Name, Entry + 5, 15);
        };
        AddEntry("LATER", 0x83, ReadTrackSector(Disk->GetSector(ReadTrackSector(Game + 3))));
        AddEntry("ODD", 0x85, MakeTrackSector(7, 0));
        AddEntry("Q", 0x86, MakeTrackSector(8, 0));
        AddEntry("INDIR", 0x82, MakeTrackSector(18, 1));
        AddEntry("BROKEN", 0x82, MakeTrackSector(6, 0));
        WriteTrackSector(Disk->GetSector(MakeTrackSector(6, 0)), MakeTrackSector(50, 0));
        AddLoopingFile(*Disk, "LOOP", MakeTrackSector(5, 0), MakeTrackSector(5, 1));

        TBamView* View = ShowDisk(*Disk);
        const auto Owner = [&](int Track, int Sector) {
            MoveTo(View, CellCentre(Track, Sector));
            return View->FileText();
        };
        // The entry listed last wins a block both chains pass through.
        QCOMPARE(QStringList({Owner(17, 0), Owner(17, 10), Owner(17, 20), Owner(Data[3], Data[4])}),
                 QStringList({"GAME.PRG", "LATER.USR", "LATER.USR", "DATA.SEQ"}));
        QCOMPARE(QStringList({Owner(7, 0), Owner(8, 0)}), QStringList({"ODDUNKNOWN", "Q.?"}));
        // Not traced: a chain starting on the directory track, one with an illegal link,
        // one that loops.
        QCOMPARE(QStringList({Owner(18, 1), Owner(6, 0), Owner(5, 0), Owner(5, 1), Owner(1, 0)}),
                 QStringList({"", "", "", "", ""}));
    }

    void damagedDiskShowsTheOwnersItCouldTraceAndNamesTheDamage() {
        const std::shared_ptr<TC64Disk> Disk = NewDisk(Dir.filePath("loop.d64"));
        AddFile(*Disk, "GAME", 600); // 17/0, 17/10, 17/20
        AddLoopingFile(*Disk, "LOOP", MakeTrackSector(5, 0), MakeTrackSector(5, 1));
        // The directory's first sector links back to itself.
        WriteTrackSector(Disk->GetSector(MakeTrackSector(18, 1)), MakeTrackSector(18, 1));

        TBamView* View = ShowDisk(*Disk);
        QCOMPARE(View->Damage(), (QStringList{"\"LOOP\": its chain loops or leaves the disk",
                                              "Directory chain loops back to T:18/S:1!"}));
        QVERIFY(Dialog->DamageText->isVisible());
        QVERIFY(Dialog->DamageText->text().startsWith("Damage: \"LOOP\""));
        QVERIFY(Dialog->bok->geometry().top() > Dialog->DamageText->geometry().bottom());
        MoveTo(View, CellCentre(17, 10));
        QCOMPARE(View->FileText(), QString("GAME.PRG"));
        QVERIFY(View->Record(MakeTrackSector(17, 10))->Used);
    }

    void d81ChartNamesPartitionsAndFitsTheScreen() {
        // A partition of tracks 41-43 whole: a run of sectors, not a chain.
        const std::shared_ptr<TC64Disk> Disk = NewDisk(Dir.filePath("owners.d81"), dtD81);
        uint8_t* Part = Disk->AllocateDirEntry();
        Part[2] = 0x85;
        WriteTrackSector(Part + 3, MakeTrackSector(41, 0));
        StringToPetscii("PART", Part + 5, 15);
        Part[30] = 120;
        TBamView* View = ShowDisk(*Disk);
        QVERIFY(Dialog->width() <= 1280 && Dialog->height() <= 760);
        QCOMPARE(Dialog->Image1->pixmap().toImage(), QImage(":/badge1581.png"));
        QVERIFY(!QImage(":/badge1581.png").isNull());
        const auto Centre = [&](int Track, int Sector) {
            return View->Geometry().CellRect(MakeTrackSector(Track, Sector)).center();
        };
        QCOMPARE(Shot().pixel(Centre(40, 2)), qRgb(0, 0, 0));
        MoveTo(View, Centre(43, 39));
        QCOMPARE(View->FileText(), QString("PART.CBM"));
        QCOMPARE(View->HintWindow()->text(), QString("Track:43 Sector:39"));
        QCOMPARE(Shot().pixel(Centre(43, 39)), Colour(QPalette::Highlight));
    }

    void hoverMarksTheCellAndPlacesTheTip() {
        const std::shared_ptr<TC64Disk> Disk = NewDisk(Dir.filePath("hover.d64"));
        AddFile(*Disk, "GAME", 600);
        TBamView* View = ShowDisk(*Disk);
        const QLabel* Tip = View->HintWindow();

        MoveTo(View, QPoint(5, 5)); // the pointer enters off the chart
        MoveTo(View, CellCentre(1, 0));
        QVERIFY(Tip->isVisible());
        QCOMPARE(Tip->text(), QString("Track:1 Sector:0"));
        const QPoint CellTopRight = View->mapToGlobal(QPoint(21 + 13, 21));
        QCOMPARE(Tip->geometry().left(), CellTopRight.x());
        QCOMPARE(Tip->geometry().bottom() + 1, CellTopRight.y() - 5);
        QCOMPARE(Shot().pixel(CellCentre(1, 0)), Colour(QPalette::Highlight));

        MoveTo(View, CellCentre(1, 1) + QPoint(-6, -6)); // the grid line above 1/1
        QCOMPARE(View->HoverCell(), MakeTrackSector(1, 1));
        QCOMPARE(Tip->text(), QString("Track:1 Sector:1"));
        QCOMPARE(Tip->geometry().bottom() + 1, View->mapToGlobal(QPoint(0, 35)).y() - 5);
        QImage Chart = Shot();
        QCOMPARE(Chart.pixel(CellCentre(1, 0)), Colour(QPalette::Window));
        QCOMPARE(Chart.pixel(CellCentre(1, 1)), Colour(QPalette::Highlight));

        // An allocated cell shows the hover mark; below the chart and beyond track 35 all clears.
        MoveTo(View, CellCentre(17, 0));
        QCOMPARE(View->FileText(), QString("GAME.PRG"));
        QCOMPARE(Shot().pixel(CellCentre(17, 0)), Colour(QPalette::HighlightedText));
        for (QPoint Off : {QPoint(100, 330), QPoint(515, 30)}) {
            MoveTo(View, CellCentre(17, 0));
            MoveTo(View, Off);
            QVERIFY(!Tip->isVisible());
            QCOMPARE(View->FileText(), QString());
            QCOMPARE(Shot().pixel(CellCentre(17, 0)), qRgb(0, 0, 0));
        }
    }

    void clicksToggleAndApplyWritesExactlyTheChangedBits() {
        const QString Path = Dir.filePath("toggle.d64");
        const std::shared_ptr<TC64Disk> Disk = NewDisk(Path);
        TBamView* View = ShowDisk(*Disk);
        // A free cell clicked twice, and a click on no cell, change nothing.
        QTest::mouseClick(View, Qt::LeftButton, {}, CellCentre(2, 5));
        QVERIFY(View->IsModified());
        QTest::mouseClick(View, Qt::LeftButton, {}, CellCentre(2, 5));
        QTest::mouseClick(View, Qt::LeftButton, {}, QPoint(20, 40));
        QVERIFY(!View->IsModified());

        QTest::mouseClick(View, Qt::LeftButton, {}, CellCentre(1, 0));
        QTest::mouseClick(View, Qt::LeftButton, {}, CellCentre(18, 0));
        QTest::mouseClick(View, Qt::LeftButton, {}, CellCentre(35, 16));
        QTest::mouseClick(View, Qt::RightButton, {}, CellCentre(3, 0));
        QVERIFY(View->IsModified());
        QCOMPARE(Shot().pixel(CellCentre(1, 0)), qRgb(0, 0, 0));
        QVERIFY(Shot().pixel(CellCentre(18, 0)) != qRgb(0, 0, 0));
        QCOMPARE(QFileInfo(Path).size(), 174848);
        const QByteArray Before = ReadFile(Path);
        QVERIFY(Disk->IsSectorUsed(MakeTrackSector(18, 0)));

        View->ApplyChanges();
        QByteArray Expected = Before;
        const auto Change = [&](int Index, int Delta) {
            Expected[Index] = char(uint8_t(Expected[Index]) + Delta);
        };
        Change(Header + 4 * 1, -1);      // track 1: one free sector less
        Change(Header + 4 * 1 + 1, -1);  // sector 0 used (bit cleared)
        Change(Header + 4 * 18, +1);     // track 18: one more
        Change(Header + 4 * 18 + 1, +1); // sector 0 free (bit set)
        Change(Header + 4 * 35, -1);
        Change(Header + 4 * 35 + 3, -1); // sector 16 is bit 0 of the third bitmap byte
        QCOMPARE(ReadFile(Path), Expected);
        QCOMPARE(Disk->GetFreeBlocks(), 662);
    }
};

QTEST_MAIN(BamViewTest)
#include "BamViewTest.moc"
