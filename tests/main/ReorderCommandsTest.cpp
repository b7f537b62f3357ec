// The directory commands as a user meets them: moving and sorting by keys and menu,
// renaming in the grid, dragging rows within and between panes and out to the file
// manager, and panes following another program's changes; asserted on the image's bytes.
#include "D64StringGrid.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

namespace {

const uint32_t Header = 91392; // track 18, sector 0: the BAM

void Select(TD64StringGrid* View, const std::vector<int>& Rows) {
    View->SetFocus();
    View->ClearSelection();
    for (int Row : Rows)
        View->SetRowSelected(Row, true);
}

std::vector<int> SelectedRows(TD64StringGrid* View) {
    TIntegerArray Rows;
    View->GetSelectedRows(Rows);
    return {Rows.begin(), Rows.end()};
}

QAction* Action(TMainForm& Form, const QString& Caption) {
    for (QAction* Item : Form.findChildren<QAction*>())
        if (Item->text() == Caption) return Item;
    return nullptr;
}

// Every file of the image file by name with its bytes, and the BAM sector.
std::map<std::string, ByteArray> FilesOf(const QString& Path) {
    const auto Disk = TC64Disk::OpenDiskImage(LocalPath(Path), deCbmDos);
    std::map<std::string, ByteArray> Files;
    Disk->ReadDirectory(TFileKindSet::AllListed(),
                        [&](const TC64DirRecord& R) { Files[R.Name] = Disk->LoadFile(R.Entry); });
    return Files;
}

ByteArray Bam(const QString& Path) {
    const ByteArray Bytes = FileBytes(Path);
    return ByteArray(Bytes.begin() + Header, Bytes.begin() + Header + 256);
}

void Drop(TD64StringGrid* Target, QMimeData& Data, int Row) {
    const QPoint Pos(20, 13 + 8 * (Row - Target->TopRow()) + 4);
    QDragEnterEvent Enter(Pos, Qt::CopyAction | Qt::MoveAction, &Data, Qt::LeftButton, {});
    QApplication::sendEvent(Target->viewport(), &Enter);
    QVERIFY(Enter.isAccepted());
    QDropEvent Dropped(Pos, Qt::CopyAction | Qt::MoveAction, &Data, Qt::LeftButton, {});
    QApplication::sendEvent(Target->viewport(), &Dropped);
}

} // namespace

class ReorderCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindowFixture> W;
    QString Image;

  private slots:
    void init() {
        W = std::make_unique<TWindowFixture>();
        W->Show();
        Image = MakeImage(W->PathOf("a.d64"), {{"ONE", SomeBytes(300, 1)},
                                               {"TWO", SomeBytes(10, 2), 0x81},
                                               {"THREE", SomeBytes(1000, 3)},
                                               {"FOUR", SomeBytes(600, 4), 0x83}});
        W->Open(1, Image);
    }
    void cleanup() {
        QVERIFY2(W->Prompts.Unexpected.isEmpty(), qPrintable(W->Prompts.Unexpected.join("; ")));
        W.reset();
    }

    void moveKeysAndSortReorderOnlyTheDirectory() {
        const auto Files = FilesOf(Image);
        const ByteArray BamBefore = Bam(Image);
        Select(W->View(1), {3, 4});
        QTest::keyClick(W->View(1), Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(ListedNames(W->View(1)), (QStringList{"ONE", "THREE", "FOUR", "TWO"}));
        QCOMPARE(SelectedRows(W->View(1)), (std::vector<int>{2, 3}));
        QTest::keyClick(W->View(1), Qt::Key_F6);
        QTest::keyClick(W->View(1), Qt::Key_F6); // at the top: nothing moves
        QCOMPARE(ListedNames(W->View(1)), (QStringList{"THREE", "FOUR", "ONE", "TWO"}));
        QTest::keyClick(W->View(1), Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(ListedNames(W->View(1)), (QStringList{"ONE", "THREE", "FOUR", "TWO"}));
        QCOMPARE(SelectedRows(W->View(1)), (std::vector<int>{2, 3}));

        Action(*W->Form, "Sort by &Type")->trigger();
        QCOMPARE(ListedNames(W->View(1)), (QStringList{"TWO", "ONE", "THREE", "FOUR"}));
        QCOMPARE(SelectedRows(W->View(1)), (std::vector<int>{3, 4})); // still THREE and FOUR
        Action(*W->Form, "Sort by &Name")->trigger();
        QCOMPARE(ListedNames(W->View(1)), (QStringList{"FOUR", "ONE", "THREE", "TWO"}));
        QCOMPARE(FilesOf(Image), Files);
        QCOMPARE(Bam(Image), BamBefore);
        QVERIFY(MatchesFile(*W->Form->Disk(1)));

        Select(W->View(1), {});
        QTest::keyClick(W->View(1), Qt::Key_F6);
        QCOMPARE(W->Prompts.Messages(),
                 QStringList{"Please first select one or more files to move and try again!"});
    }

    void renameInPlaceWithTheKeyRule() {
        Select(W->View(1), {2});
        W->View(1)->SetRow(2);
        QTest::keyClick(W->View(1), Qt::Key_F9);
        QLineEdit* Edit = W->View(1)->NameEditor();
        QVERIFY(Edit && Edit->hasFocus());
        QCOMPARE(Edit->text(), QString("TWO"));
        QTest::keyClicks(Edit, "new");
        QTest::keyClick(Edit, 'A', Qt::ShiftModifier);
        QTest::keyClick(Edit, Qt::Key_Delete); // the editor's key, not Scratch
        QTest::keyClick(Edit, Qt::Key_Return);
        QVERIFY(!W->View(1)->NameEditor());
        const ByteArray Bytes = FileBytes(Image);
        const ByteArray Slot(Bytes.begin() + Header + 256 + 32 + 5, Bytes.begin() + Header + 256 + 32 + 21);
        ByteArray Expected = {'N', 'E', 'W', 'a'};
        Expected.resize(16, 0xA0);
        QCOMPARE(Slot, Expected);
        QCOMPARE(SelectedRows(W->View(1)), (std::vector<int>{2}));

        // A name on the disk asks first; No writes nothing. Escape drops an edit.
        W->Prompts.YesNoAnswers = {false};
        QTest::keyClick(W->View(1), Qt::Key_F9);
        W->View(1)->NameEditor()->setText("ONE");
        QTest::keyClick(W->View(1)->NameEditor(), Qt::Key_Return);
        QCOMPARE(W->Prompts.Questions(),
                 QStringList{"A file named \"ONE\" is already on the disk!\r\nRename it anyway?"});
        QTest::keyClick(W->View(1), Qt::Key_F9);
        QTest::keyClicks(W->View(1)->NameEditor(), "x");
        QTest::keyClick(W->View(1)->NameEditor(), Qt::Key_Escape);
        QVERIFY(!W->View(1)->NameEditor());
        QCOMPARE(FileBytes(Image), Bytes);
        QCOMPARE(ListedNames(W->View(1))[1], QString("NEWa"));
    }

    void dragsMoveWithinAPaneCopyAcrossAndExportOut() {
        const QString Other = MakeImage(W->PathOf("b.d64"), {{"OLD", SomeBytes(100, 9)}});
        W->Open(2, Other);
        const ByteArray Before = FileBytes(Image);
        Select(W->View(1), {1, 3});
        std::unique_ptr<QMimeData> Data(W->View(1)->CreateDragData());

        // Out to the file manager: the files Export writes, under its names.
        emit W->View(1)->DragStarting(W->View(1), Data.get());
        QCOMPARE(Data->urls().size(), 2);
        QCOMPARE(Data->urls()[0].fileName(), QString("one.prg"));
        QCOMPARE(FileBytes(Data->urls()[1].toLocalFile()), SomeBytes(1000, 3));

        // Onto the other pane: copied as F5 copies.
        Drop(W->View(2), *Data, 1);
        QCOMPARE(ListedNames(W->View(2)), (QStringList{"OLD", "ONE", "THREE"}));
        QCOMPARE(FilesOf(Other).at("THREE"), SomeBytes(1000, 3));
        QCOMPARE(FileBytes(Image), Before);

        // Within the pane: the rows go before the row they are dropped on.
        Drop(W->View(1), *Data, 5);
        QCOMPARE(ListedNames(W->View(1)), (QStringList{"TWO", "FOUR", "ONE", "THREE"}));
        QCOMPARE(SelectedRows(W->View(1)), (std::vector<int>{3, 4}));
        std::unique_ptr<QMimeData> Again(W->View(1)->CreateDragData());
        Drop(W->View(1), *Again, 2);
        QCOMPARE(ListedNames(W->View(1)), (QStringList{"TWO", "ONE", "THREE", "FOUR"}));
        QCOMPARE(FilesOf(Image).at("ONE"), SomeBytes(300, 1));
        QCOMPARE(Bam(Image), ByteArray(Before.begin() + Header, Before.begin() + Header + 256));
    }

    void panesFollowAnotherProgramsChanges() {
        W->Open(2, Image); // both panes show the file
        const TC64Disk* Shown = W->Form->Disk(1).get();
        // The window's own write is no change from outside: nothing is read again.
        Select(W->View(2), {4});
        QTest::keyClick(W->View(2), Qt::Key_F6);
        QTest::qWait(300);
        QCOMPARE(W->Form->Disk(1).get(), Shown);

        Select(W->View(1), {4});
        W->View(1)->SetCurrentRow(4);
        // Another program adds a file (its save replaces the file by rename), twice.
        for (const char* Name : {"NEW", "NEWER"}) {
            auto Outside = TC64Disk::OpenDiskImage(LocalPath(Image), deCbmDos);
            uint8_t Entry[32] = {0, 0, 0x82};
            StringToPetscii(Name, Entry + 5, 15);
            Outside->AddFile(SomeBytes(50, 7), Entry);
            QTRY_VERIFY(ListedNames(W->View(1)).contains(Name));
        }
        QCOMPARE(ListedNames(W->View(1)), (QStringList{"ONE", "TWO", "FOUR", "THREE", "NEW", "NEWER"}));
        QCOMPARE(ListedNames(W->View(2)), ListedNames(W->View(1)));
        QVERIFY(MatchesFile(*W->Form->Disk(1)));
        QCOMPARE(W->Form->Disk(1), W->Form->Disk(2));
        QCOMPARE(SelectedRows(W->View(1)), (std::vector<int>{4})); // THREE, by name
        QCOMPARE(W->View(1)->Row(), 4);

        // View > Reload reads the file again, keeping the view.
        const TC64Disk* Before = W->Form->Disk(1).get();
        W->View(1)->SetFocus();
        Action(*W->Form, "&Reload")->trigger();
        QVERIFY(W->Form->Disk(1).get() != Before);
        QCOMPARE(SelectedRows(W->View(1)), (std::vector<int>{4}));

        // A change to the other pane's file leaves the focus and the caption where they are.
        const QString Other = MakeImage(W->PathOf("b.d64"), {{"OLD", SomeBytes(100, 9)}});
        W->Open(2, Other);
        W->View(1)->SetFocus();
        const QString Caption = W->Form->windowTitle();
        uint8_t Entry[32] = {0, 0, 0x82};
        StringToPetscii("NEW", Entry + 5, 15);
        TC64Disk::OpenDiskImage(LocalPath(Other), deCbmDos)->AddFile(SomeBytes(50, 7), Entry);
        QTRY_VERIFY(ListedNames(W->View(2)).contains("NEW"));
        QCOMPARE(W->Form->ActiveSide(), 1);
        QCOMPARE(W->Form->windowTitle(), Caption);
    }
};

QTEST_MAIN(ReorderCommandsTest)
#include "ReorderCommandsTest.moc"
