// Undo and redo, Validate and Unscratch as a user meets them in the window: keys, menu
// captions, dialogs answered through real events, and the bytes left in the image files.
#include "D64StringGrid.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QLabel>
#include <QTest>

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
        for (int i = 0; i < 51; ++i)
            W->Form->Copy1Click();
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
};

QTEST_MAIN(UndoValidateTest)
#include "UndoValidateTest.moc"
