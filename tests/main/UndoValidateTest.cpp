// Undo and redo, Validate and Unscratch as a user meets them in the window: keys, menu
// captions, dialogs answered through real events, and the bytes left in the image files.
#include "D64StringGrid.h"
#include "ListActionDlg.h"
#include "Validate.h"
#include "WhenOpen.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

void Select(TD64StringGrid* View, const std::vector<int>& Rows) {
    View->SetFocus();
    View->ClearSelection();
    for (int Row : Rows)
        View->SetRowSelected(Row, true);
}

void PressUndo(TD64StringGrid* View, bool Redo = false) {
    QTest::keyClick(View, Qt::Key_Z, Redo ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
}

// A side menu's item by its caption.
QAction* SideItem(TMainForm& Form, int Side, const QString& Caption) {
    for (QAction* Item : Form.SideMenu(Side)->actions())
        if (Item->text() == Caption) return Item;
    return nullptr;
}

} // namespace

class UndoValidateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindowFixture> W;

  private slots:
    void init() {
        W = std::make_unique<TWindowFixture>();
        W->Show();
    }
    void cleanup() {
        const QStringList Unanswered = W->Prompts.Unexpected;
        W.reset();
        QCOMPARE(Unanswered, QStringList());
    }

    void undoTakesEveryChangeBackToTheOriginalBytes() {
        const QString A =
            MakeImage(W->PathOf("a.d64"), {{"ONE", SomeBytes(300, 1)}, {"TWO", SomeBytes(900, 2)}});
        const QString B = MakeImage(W->PathOf("b.d64"), {{"X", SomeBytes(40, 3)}});
        const ByteArray OriginalA = FileBytes(A), OriginalB = FileBytes(B);
        W->Open(1, A);
        W->Open(2, B);
        QVERIFY(!W->Form->UndoItem()->isEnabled());

        // Copy into the right image, scratch in the left one, delete in the right one.
        Select(W->View(1), {1, 2});
        QTest::keyClick(W->View(1), Qt::Key_F5);
        const ByteArray Copied = FileBytes(B);
        W->Prompts.YesNoAnswers = {true, true};
        Select(W->View(1), {2});
        QTest::keyClick(W->View(1), Qt::Key_Delete);
        Select(W->View(2), {1});
        QTest::keyClick(W->View(2), Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(W->Form->UndoItem()->text(), QString("&Undo \"Delete\""));

        // The newest change first, wherever it was made, whichever pane has the focus.
        PressUndo(W->View(1));
        QCOMPARE(ListedNames(W->View(2)), (QStringList{"X", "ONE", "TWO"}));
        QCOMPARE(W->Form->UndoItem()->text(), QString("&Undo \"Scratch\""));
        QCOMPARE(W->Form->RedoItem()->text(), QString("&Redo \"Delete\""));
        PressUndo(W->View(1));
        PressUndo(W->View(1));
        QCOMPARE(FileBytes(A), OriginalA);
        QCOMPARE(FileBytes(B), OriginalB);
        QVERIFY(MatchesFile(*W->Form->Disk(1)) && MatchesFile(*W->Form->Disk(2)));
        QVERIFY(!W->Form->UndoItem()->isEnabled());
        PressUndo(W->View(1), true);
        QCOMPARE(FileBytes(B), Copied);
        QCOMPARE(ListedNames(W->View(2)), (QStringList{"X", "ONE", "TWO"}));

        // Fifty steps are kept per image: the oldest of fifty-one goes.
        Select(W->View(1), {1});
        for (int i = 0; i < 51; ++i) {
            W->Prompts.SameNameAnswers.push_back({IUserPrompts::TSameNameAnswer::KeepBoth, false});
            W->Form->Copy1Click();
        }
        for (int i = 0; i < 60; ++i)
            W->Form->UndoClick();
        QCOMPARE(ListedNames(W->View(2)).size(), 4);
        QCOMPARE(W->Form->UndoItem()->text(), QString("&Undo"));
        QCOMPARE(W->Prompts.Errors(), QStringList());
    }

    void undoAfterAnotherProgramsChangeIsRefused() {
        const QString A = MakeImage(W->PathOf("a.d64"), {{"ONE", SomeBytes(300, 1)}});
        W->Open(1, A);
        W->Open(2, A); // one file in both panes: one history
        W->Prompts.YesNoAnswers = {true};
        Select(W->View(1), {1});
        QTest::keyClick(W->View(1), Qt::Key_Delete);
        QVERIFY(W->Form->UndoItem()->isEnabled());
        {
            auto Other = TC64Disk::OpenDiskImage(LocalPath(A), deCbmDos);
            Other->SetDiskName("THEIRS");
        }
        const ByteArray Theirs = FileBytes(A);
        PressUndo(W->View(2));
        QCOMPARE(W->Prompts.Errors(),
                 QStringList{"The diskimage was changed by another program since it was read!\r\n"
                             "Nothing has been written to it. Undo is refused: the changes made before can "
                             "no longer be undone or redone."});
        QCOMPARE(FileBytes(A), Theirs);
        QVERIFY(W->Form->DiskNameLabel(1)->text().contains("THEIRS"));
        QVERIFY(!W->Form->UndoItem()->isEnabled());
        PressUndo(W->View(2));
        QCOMPARE(FileBytes(A), Theirs);
    }

    void validateShowsTheDamageAndRepairsAsTheEngineDoes() {
        const QString Path =
            MakeImage(W->PathOf("d.d64"), {{"ONE", SomeBytes(600, 1)}, {"OPEN", SomeBytes(300, 2), 0x02}});
        {
            auto Disk = TC64Disk::OpenDiskImage(LocalPath(Path), deCbmDos);
            Disk->ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& R) {
                if (R.Name == "ONE") Disk->SetSectorUsed(MakeTrackSector(R.Track, R.Sector), false);
            });
            Disk->SetSectorUsed(MakeTrackSector(30, 5), true);
        }
        const ByteArray Damaged = FileBytes(Path);
        QFile::copy(Path, W->PathOf("expected.d64"));
        Repair(*TC64Disk::OpenDiskImage(LocalPath(W->PathOf("expected.d64")), deCbmDos));
        const ByteArray Repaired = FileBytes(W->PathOf("expected.d64"));

        W->Open(1, Path);
        QVERIFY(W->Prompts.Warnings().isEmpty());
        QVERIFY2(W->Form->StatusText(1).endsWith(" - BAM DIFFERS IN 4 BLOCKS, 1 UNCLOSED FILE - VALIDATE"),
                 qPrintable(W->Form->StatusText(1)));
        QStringList Files, Marks;
        WhenOpen<TListActionDlg>([&](TListActionDlg& Dialog) {
            for (int Row = 0; Row < Dialog.List->topLevelItemCount(); ++Row) {
                Files << Dialog.List->topLevelItem(Row)->text(0);
                Marks << Dialog.List->topLevelItem(Row)->text(3);
            }
            QVERIFY(Dialog.ActionBtn->isEnabled());
            QTest::mouseClick(Dialog.ActionBtn, Qt::LeftButton);
        });
        SideItem(*W->Form, 1, "Va&lidate...")->trigger();
        QCOMPARE(Files, (QStringList{"OPEN", "ONE", "", "", ""}));
        QCOMPARE(Marks.count("put right"), 5);
        QCOMPARE(FileBytes(Path), Repaired);
        QVERIFY(W->Form->StatusText(1).endsWith("FILE(S) ON DISK"));

        // A consistent disk offers no repair; the repair is undone as any change is.
        WhenOpen<TListActionDlg>([&](TListActionDlg& Dialog) {
            QCOMPARE(Dialog.List->topLevelItemCount(), 0);
            QVERIFY(!Dialog.ActionBtn->isEnabled());
        });
        SideItem(*W->Form, 1, "Va&lidate...")->trigger();
        QCOMPARE(W->Form->UndoItem()->text(), QString("&Undo \"Repair\""));
        W->Form->UndoItem()->trigger(); // the window may not be active again yet after the dialog
        QCOMPARE(FileBytes(Path), Damaged);
    }

    void unscratchOffersTheFilesThatCanComeBack() {
        const QString Path =
            MakeImage(W->PathOf("u.d64"), {{"KEPT", SomeBytes(600, 1)}, {"GONE", SomeBytes(600, 2)}});
        const ByteArray Original = FileBytes(Path);
        {
            // Both scratched, and a block of GONE taken again.
            auto Disk = TC64Disk::OpenDiskImage(LocalPath(Path), deCbmDos);
            std::vector<uint8_t*> Entries;
            TTrackSector Taken = 0;
            Disk->ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& R) {
                Entries.push_back(R.Entry);
                Taken = MakeTrackSector(R.Track, R.Sector);
            });
            Disk->ScratchFiles(Entries, false);
            Disk->SetSectorUsed(Taken, true);
        }
        W->Open(1, Path);
        QStringList States;
        WhenOpen<TListActionDlg>([&](TListActionDlg& Dialog) {
            for (int Row = 0; Row < Dialog.List->topLevelItemCount(); ++Row) {
                const QTreeWidgetItem* Item = Dialog.List->topLevelItem(Row);
                States << Item->text(0) + " " + Item->text(1) + " " + Item->text(2) + " " + Item->text(3);
            }
            QVERIFY(!Dialog.ActionBtn->isEnabled());
            Dialog.List->selectAll(); // only what can come back is chosen
            QTest::mouseClick(Dialog.ActionBtn, Qt::LeftButton);
        });
        SideItem(*W->Form, 1, "&Unscratch...")->trigger();
        QCOMPARE(States, (QStringList{"KEPT PRG 3 can come back",
                                      "GONE PRG 3 lost: its blocks have been used again"}));
        QCOMPARE(ListedNames(W->View(1)), QStringList{"KEPT"});
        // KEPT's entry and blocks are as they were before the scratch.
        const ByteArray Now = FileBytes(Path);
        QCOMPARE(ByteArray(Now.begin() + 91392 + 256, Now.begin() + 91392 + 256 + 32),
                 ByteArray(Original.begin() + 91392 + 256, Original.begin() + 91392 + 256 + 32));
        QCOMPARE(W->Form->UndoItem()->text(), QString("&Undo \"Unscratch\""));
    }
};

QTEST_MAIN(UndoValidateTest)
#include "UndoValidateTest.moc"
