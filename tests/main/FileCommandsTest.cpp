// The file commands and the new-disk command as a user meets them: keys, questions and
// messages through the scripted prompts, and the bytes they leave in image and host files.
#include "D64StringGrid.h"
#include "NewDlg.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <map>
#include <string_view>

namespace {

using TAnswer = IUserPrompts::TAnswer;

// Selects exactly these rows of a side and gives it the focus.
void Select(TD64StringGrid* View, const std::vector<int>& Rows) {
    View->SetFocus();
    View->ClearSelection();
    for (int Row : Rows)
        View->SetRowSelected(Row, true);
}

QStringList FolderFiles(const QString& Folder) {
    return QDir(Folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

const uint32_t Header = 91392;
const QString NothingWritten = "\r\nNothing has been written to it.";

} // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindowFixture> W;

  private slots:
    void init() {
        W = std::make_unique<TWindowFixture>();
        W->Show();
    }
    void cleanup() {
        QVERIFY2(W->Prompts.Unexpected.isEmpty(), qPrintable(W->Prompts.Unexpected.join("; ")));
        W.reset();
    }

    void copyWritesTheSelectionAndKeepsIt() {
        const QString Left =
            MakeImage(W->PathOf("a.d64"),
                      {{"ONE", SomeBytes(300, 1)}, {"TWO", SomeBytes(10, 2)}, {"THREE", SomeBytes(1000, 3)}});
        W->Open(1, Left);
        QTest::keyClick(W->View(1), Qt::Key_F5);
        QCOMPARE(W->Prompts.Messages(),
                 QStringList{"Before you can copy you must insert an destination disk!"});

        W->Open(2, MakeImage(W->PathOf("b.d64")));
        Select(W->View(1), {});
        W->Form->Copy1Click();
        QCOMPARE(W->Prompts.Messages().last(),
                 QString("Please first select one or more files to copy and try again!"));

        // The whole copy reaches the file in one durable replace.
        int Renames = 0;
        HostFile::SetFaultHook([&Renames](const char* Operation) {
            Renames += std::string_view(Operation) == "rename";
            return 0;
        });
        Select(W->View(1), {1, 3});
        QTest::keyClick(W->View(1), Qt::Key_F5);
        HostFile::SetFaultHook(nullptr);
        QCOMPARE(Renames, 1);
        QCOMPARE(ListedNames(W->View(2)), (QStringList{"ONE", "THREE"}));
        QVERIFY(W->View(1)->hasFocus());
        QVERIFY(W->View(1)->IsRowSelected(1) && W->View(1)->IsRowSelected(3) &&
                !W->View(1)->IsRowSelected(2));
        const auto Copied = TC64Disk::OpenDiskImage(LocalPath(W->PathOf("b.d64")), deCbmDos);
        std::vector<ByteArray> Contents;
        Copied->ReadDirectory(TFileKindSet::AllListed(),
                              [&](const TC64DirRecord& R) { Contents.push_back(Copied->LoadFile(R.Entry)); });
        QCOMPARE(Contents, (std::vector<ByteArray>{SomeBytes(300, 1), SomeBytes(1000, 3)}));
    }

    void copyStopsAtTheFirstFailure() {
        W->Open(1,
                MakeImage(W->PathOf("a.d64"), {{"SMALL", SomeBytes(500, 1)}, {"BIG", SomeBytes(40000, 2)}}));
        // The destination has room for the small file only.
        std::vector<TImageFile> Filler;
        for (int i = 0; i < 4; ++i)
            Filler.push_back({"FILL" + std::to_string(i), SomeBytes(254 * 160, 9)});
        W->Open(2, MakeImage(W->PathOf("full.d64"), Filler));
        Select(W->View(1), {1, 2});
        W->Form->Copy1Click();
        QCOMPARE(
            W->Prompts.Errors(),
            QStringList{
                "Disk is full!\r\nPart of the change has been written to it: it is shown as it now stands."});
        QCOMPARE(ListedNames(W->View(2)).last(), QString("SMALL"));
        QVERIFY(W->View(1)->hasFocus());

        std::vector<TImageFile> Many;
        for (int i = 0; i < 144; ++i)
            Many.push_back({"F" + std::to_string(i), {}});
        W->Open(2, MakeImage(W->PathOf("many.d64"), Many));
        Select(W->View(1), {1});
        W->Form->Copy1Click();
        QCOMPARE(W->Prompts.Errors().last(), "Maximum number of files reached!" + NothingWritten);

        // A soft write protected destination, with the protection honoured: refused before
        // the question about the name it already holds.
        W->Open(2, MakeImage(W->PathOf("p.d64"), {{"SMALL", {}}}));
        W->Form->Disk(2)->SetSoftWriteProtected(true);
        W->Form->SoftWriteItem(2)->trigger();
        const ByteArray Before = FileBytes(W->PathOf("p.d64"));
        Select(W->View(1), {1});
        W->Form->Copy1Click();
        QCOMPARE(W->Prompts.Errors().last(), "Disk is Soft Write Protected!" + NothingWritten);
        QVERIFY(W->Prompts.Texts(ScriptedPrompts::TKind::SameName).isEmpty());
        QCOMPARE(FileBytes(W->PathOf("p.d64")), Before);
    }

    void scratchAndDeleteAskFirst() {
        std::vector<TImageFile> Files;
        for (int i = 0; i < 6; ++i)
            Files.push_back({"F" + std::to_string(i), SomeBytes(300, i)});
        const QString Path = MakeImage(W->PathOf("a.d64"), Files);
        W->Open(1, Path);
        const ByteArray Before = FileBytes(Path);
        Select(W->View(1), {1, 2, 3, 4, 5});
        W->Prompts.YesNoAnswers = {false};
        QTest::keyClick(W->View(1), Qt::Key_Delete);
        QCOMPARE(W->Prompts.Questions(), QStringList{"Do you really want to scratch 5 files?"});
        QVERIFY(!W->Prompts.Shown.last().DefaultNo);
        QCOMPARE(FileBytes(Path), Before);

        Select(W->View(1), {2});
        W->Prompts.YesNoAnswers = {true};
        W->Form->Scratch1Click();
        QCOMPARE(W->Prompts.Questions().last(), QString("Do you really want to scratch one file?"));
        QCOMPARE(ListedNames(W->View(1)), (QStringList{"F0", "F2", "F3", "F4", "F5"}));
        QCOMPARE(FileBytes(Path)[Header + 256 + 32 + 2], 0);   // type byte of the second slot
        QCOMPARE(FileBytes(Path)[Header + 256 + 32 + 5], 'F'); // the name stays

        Select(W->View(1), {1, 2});
        W->Prompts.YesNoAnswers = {true};
        QTest::keyClick(W->View(1), Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(
            W->Prompts.Questions().last(),
            QString(
                "Do you really want to delete 2 files?\r\nAttention, deleted files cannot be unscratched!"));
        QVERIFY(W->Prompts.Shown.last().DefaultNo); // a wipe is not undone by a reflex Return
        QCOMPARE(ListedNames(W->View(1)), (QStringList{"F3", "F4", "F5"}));
        QCOMPARE(FileBytes(Path)[Header + 256 + 5], 0); // wiped

        Select(W->View(1), {});
        W->Form->DeleteButtonClick();
        QCOMPARE(W->Prompts.Messages().last(),
                 QString("Please first select one or more files to delete and try again!"));
        QTest::keyClick(W->View(1), Qt::Key_A, Qt::ControlModifier);
        QVERIFY(W->View(1)->IsRowSelected(1) && W->View(1)->IsRowSelected(3));

        // The selected blank row of a listing without files is no selection.
        W->Open(2, MakeImage(W->PathOf("e2.d64")));
        W->Open(1, MakeImage(W->PathOf("e1.d64")));
        QTest::keyClick(W->View(1), Qt::Key_Delete);
        QTest::keyClick(W->View(1), Qt::Key_F5);
        QCOMPARE(W->Prompts.Messages().mid(1),
                 (QStringList{"Please first select one or more files to scratch and try again!",
                              "Please first select one or more files to copy and try again!"}));
    }

    void exportModesAndOverwriteAnswers() {
        const QString Path = MakeImage(W->PathOf("a.d64"), {{"ONE", SomeBytes(300, 1)},
                                                            {"TWO", SomeBytes(20, 2)},
                                                            {"NIL", {}},
                                                            {"THREE", SomeBytes(600, 3)}});
        W->Open(1, Path);
        const QString Out = W->PathOf("out");
        QDir().mkpath(Out);

        // Export File: the save dialog names the file; cancelled, nothing is written.
        W->Prompts.SaveFileNames = {Out + "/chosen.prg", ""};
        W->Form->ExporttoPRG2Click(0);
        QCOMPARE(W->Prompts.Shown.at(W->Prompts.Shown.size() - 2).Path, QString("one"));
        W->Form->ExporttoPRG2Click(0);
        QCOMPARE(W->Prompts.Messages().mid(0, 2),
                 (QStringList{"1 Files successfully exported!", "0 Files successfully exported!"}));
        QCOMPARE(FileBytes(Out + "/chosen.prg"), SomeBytes(300, 1));

        // Export All where two files exist: No keeps one, then All overwrites without asking again.
        QFile::remove(Out + "/chosen.prg");
        QFile Old(Out + "/one.prg");
        QVERIFY(Old.open(QIODevice::WriteOnly) && Old.write("old") == 3);
        Old.close();
        QFile::copy(Out + "/one.prg", Out + "/two.prg");
        QFile::copy(Out + "/one.prg", Out + "/three.prg");
        W->Prompts.FolderNames = {Out};
        W->Prompts.YesNoAllAnswers = {TAnswer::No, TAnswer::All};
        // Every file is synced, the folder once for them all.
        std::map<std::string, int> Syncs;
        HostFile::SetFaultHook([&Syncs](const char* Operation) {
            ++Syncs[Operation];
            return 0;
        });
        W->Form->ExporttoPRG2Click(2);
        HostFile::SetFaultHook(nullptr);
        QCOMPARE(Syncs["fsync"], 2);
        QCOMPARE(Syncs["fsyncdir"], 1);
        QCOMPARE(W->Prompts.Texts(ScriptedPrompts::TKind::YesNoAll).size(), 2);
        QCOMPARE(FileBytes(Out + "/one.prg"), ByteArray({'o', 'l', 'd'}));
        QCOMPARE(FileBytes(Out + "/two.prg"), SomeBytes(20, 2));
        QCOMPARE(FileBytes(Out + "/three.prg"), SomeBytes(600, 3));
        QCOMPARE(FolderFiles(Out), (QStringList{"one.prg", "three.prg", "two.prg"})); // NIL is empty
        QCOMPARE(W->Prompts.Messages().last(), QString("2 Files successfully exported!"));

        // A file that cannot be replaced is reported; the export goes on to the end and the count.
        Select(W->View(1), {1, 4});
        W->Prompts.FolderNames = {Out};
        W->Prompts.YesNoAllAnswers = {TAnswer::All};
        RefuseOpens(1);
        W->Form->ExporttoPRG2Click(1);
        QCOMPARE(W->Prompts.Messages().mid(W->Prompts.Messages().size() - 2),
                 (QStringList{"Error while exporting file <ONE" + QString(13, QChar(0xA0)) +
                                  ">.\r\nCan't open file \"" + Out + "/one.prg\": Permission denied",
                              "1 Files successfully exported!"}));

        // Export Selection: nothing selected, or the folder picker cancelled.
        Select(W->View(1), {});
        W->Form->ExporttoPRG2Click(1);
        QCOMPARE(W->Prompts.Messages().last(),
                 QString("Please first select one file to export and try again!"));
        Select(W->View(1), {4});
        W->Prompts.FolderNames = {""};
        const int Shown = W->Prompts.Shown.size();
        W->Form->ExporttoPRG2Click(1);
        QCOMPARE(W->Prompts.Shown.size(), Shown + 1); // the picker only
    }

    void exportNamesStayInTheFolder() {
        const QString Path = MakeImage(W->PathOf("a.d64"), {{"../../X", SomeBytes(5, 1)},
                                                            {"..", SomeBytes(6, 2)},
                                                            {"\x0d\x0dHI", SomeBytes(7, 3)},
                                                            {"", SomeBytes(8, 4)},
                                                            {"DIR/NAME", SomeBytes(9, 5)},
                                                            {"\xC1\xC2\xC3", SomeBytes(10, 6)}});
        W->Open(1, Path);
        const QString Out = W->PathOf("out");
        QDir().mkpath(Out);
        W->Prompts.FolderNames = {Out};
        W->Form->ExporttoPRG2Click(2);
        // Each name as d64tool spells it, with a slash and a leading dot escaped too.
        QCOMPARE(FolderFiles(Out), (QStringList{"ABC.prg", "dir{$2F}name.prg", "{$0D}{$0D}hi.prg",
                                                "{$2E}..prg", "{$2E}.{$2F}..{$2F}x.prg", "{$A0}.prg"}));
        QCOMPARE(FolderFiles(W->PathOf("")), (QStringList{"a.d64"}));
        QCOMPARE(FileBytes(Out + "/ABC.prg"), SomeBytes(10, 6));
        QCOMPARE(FileBytes(Out + "/{$A0}.prg"), SomeBytes(8, 4));
        // Export File offers the same name for the same file.
        W->View(1)->SetRow(6);
        W->Prompts.SaveFileNames = {""};
        W->Form->ExporttoPRG2Click(0);
        QCOMPARE(W->Prompts.Shown.at(W->Prompts.Shown.size() - 2).Path, QString("ABC"));

        // A blank row (no files at all) has nothing to export.
        W->Open(2, MakeImage(W->PathOf("empty.d64")));
        W->Form->ExporttoPRG2Click(2);
        QCOMPARE(W->Prompts.Messages().last(),
                 QString("Please first select one file to export and try again!"));
    }

    void twoFilesOfOneNameAskAsIfTheFirstExisted() {
        W->Open(1, MakeImage(W->PathOf("a.d64"), {{"SAME", SomeBytes(30, 1)}, {"SAME", SomeBytes(40, 2)}}));
        for (const auto& [Answer, Kept] : {std::pair(TAnswer::No, 1), std::pair(TAnswer::Yes, 2)}) {
            const QString Out = W->PathOf(QString("out%1").arg(Kept));
            QDir().mkpath(Out);
            W->Prompts.FolderNames = {Out};
            W->Prompts.YesNoAllAnswers = {Answer};
            const int Asked = W->Prompts.Texts(ScriptedPrompts::TKind::YesNoAll).size();
            W->Form->ExporttoPRG2Click(2);
            QCOMPARE(W->Prompts.Texts(ScriptedPrompts::TKind::YesNoAll).size(), Asked + 1);
            QCOMPARE(FolderFiles(Out), QStringList{"same.prg"});
            QCOMPARE(FileBytes(Out + "/same.prg"), SomeBytes(Kept == 1 ? 30 : 40, Kept));
        }
    }

    void anotherProgramsChangeIsKeptAndShown() {
        const QString Path = MakeImage(W->PathOf("a.d64"), {{"MINE", SomeBytes(100, 1)}});
        W->Open(1, Path);
        W->Open(2, MakeImage(W->PathOf("b.d64"), {{"NEW", SomeBytes(100, 2)}}));
        {
            auto Other = TC64Disk::OpenDiskImage(LocalPath(Path), deCbmDos);
            Other->SetDiskName("THEIRS");
        }
        const ByteArray Theirs = FileBytes(Path);
        Select(W->View(2), {1});
        W->Form->Copy1Click();
        QCOMPARE(W->Prompts.Errors(),
                 QStringList{"The diskimage was changed by another program since it was read!\r\n"
                             "Nothing has been written to it."});
        QCOMPARE(FileBytes(Path), Theirs);
        QVERIFY(W->Form->DiskNameLabel(1)->text().contains("THEIRS"));
        Select(W->View(2), {1});
        W->Form->Copy1Click(); // read again, the disk takes changes
        QCOMPARE(ListedNames(W->View(1)), (QStringList{"MINE", "NEW"}));
    }

    void failedWritesLeaveTheDiskAsItsFileHoldsIt() {
        W->Open(1, MakeImage(W->PathOf("a.d64"), {{"ONE", SomeBytes(300, 1)}, {"TWO", SomeBytes(20, 2)}}));
        W->Open(2, MakeImage(W->PathOf("b.d64")));
        // A copy and a scratch refused by the files: memory and listings are the files'.
        W->Prompts.YesNoAnswers = {true};
        for (const Qt::Key Key : {Qt::Key_F5, Qt::Key_Delete}) {
            Select(W->View(1), {1, 2});
            RefuseOpens(1);
            QTest::keyClick(W->View(1), Key);
            QVERIFY(W->Prompts.Errors().last().endsWith("\": Permission denied" + NothingWritten));
        }
        QVERIFY(MatchesFile(*W->Form->Disk(1)) && MatchesFile(*W->Form->Disk(2)));
        QCOMPARE(ListedNames(W->View(1)) + ListedNames(W->View(2)), (QStringList{"ONE", "TWO"}));

        // A new disk that cannot be created leaves the side its disk and rows, which copy.
        const std::weak_ptr<TC64Disk> Shown = W->Form->Disk(1); // lets a dropped disk go
        TNewDiskValues Values;
        Values.Filename = "/nonexistent/x.d64";
        CreateNewDisk(1, Values);
        Select(W->View(1), {1, 2});
        W->Form->Copy1Click();
        QVERIFY(W->Form->Disk(1) == Shown.lock() && ListedNames(W->View(2)).size() == 2);
        QCOMPARE(W->Prompts.Errors()[2],
                 "Can't create file \"/nonexistent/x.d64\": No such file or directory" + NothingWritten);
    }

    void oneFileInBothSidesIsOneDisk() {
        const QString Path = MakeImage(W->PathOf("a.d64"), {{"ONE", SomeBytes(300, 1)}});
        std::filesystem::create_hard_link(LocalPath(Path), LocalPath(W->PathOf("link.d64")));
        W->Open(1, Path);
        W->Open(2, W->PathOf("link.d64"));
        QTest::keyClick(W->View(2), Qt::Key_F5);
        QCOMPARE(W->Prompts.Messages(), QStringList{"Both sides show the same disk!\r\n"
                                                    "A file cannot be copied onto the disk it comes from."});
        // Read again after a failed write, the disk is still one, in both sides.
        W->Prompts.YesNoAnswers = {true};
        RefuseOpens(1);
        QTest::keyClick(W->View(2), Qt::Key_Delete);
        QVERIFY(W->Form->Disk(1) == W->Form->Disk(2) && ListedNames(W->View(2)) == QStringList{"ONE"});
    }

    // Each disk type, DOS and error-byte choice, as the written file shows it.
    void newDiskCombinations_data() {
        QTest::addColumn<bool>("Forty");
        QTest::addColumn<bool>("Dolphin");
        QTest::addColumn<bool>("ErrorBytes");
        QTest::addColumn<int>("Size");
        QTest::addColumn<int>("ExtraBam");
        QTest::newRow("35") << false << false << false << 174848 << 0;
        QTest::newRow("35 errors, dolphin ignored") << false << true << true << 175531 << 0;
        QTest::newRow("40 speed") << true << false << false << 196608 << 192;
        QTest::newRow("40 dolphin errors") << true << true << true << 197376 << 172;
    }
    void newDiskCombinations() {
        QFETCH(bool, Forty);
        QFETCH(bool, Dolphin);
        QFETCH(bool, ErrorBytes);
        QFETCH(int, Size);
        QFETCH(int, ExtraBam);
        TNewDiskValues Values;
        Values.DiskName = "GAMES";
        Values.DiskID = "AB 2A";
        Values.Filename = W->PathOf("games");
        Values.FortyTracks = Forty;
        Values.DolphinDos = Dolphin;
        Values.ErrorBytes = ErrorBytes;
        CreateNewDisk(1, Values);
        const ByteArray File = FileBytes(W->PathOf("games.d64"));
        QCOMPARE(int(File.size()), Size);
        QCOMPARE(std::string(File.begin() + Header + 144, File.begin() + Header + 167),
                 std::string("GAMES\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0"
                             "AB 2A"));
        for (int Start : {172, 192}) {
            const ByteArray Entry(File.begin() + Header + Start, File.begin() + Header + Start + 4);
            const ByteArray Expected = Start == ExtraBam ? ByteArray{17, 0xFF, 0xFF, 0x01} : ByteArray(4, 0);
            QCOMPARE(Entry, Expected);
        }
        if (ErrorBytes)
            QVERIFY(
                std::all_of(File.end() - (Forty ? 768 : 683), File.end(), [](uint8_t b) { return b == 0; }));
        QCOMPARE(W->Form->StatusText(1), QString(Forty ? "749 BLOCKS FREE - 0 FILE(S) ON DISK"
                                                       : "664 BLOCKS FREE - 0 FILE(S) ON DISK"));
    }

    void newDiskNamesAndReplacing() {
        QDir::setCurrent(W->Dir.path());
        MakeImage(W->PathOf("Unnamed.d64"), {{"KEEP", SomeBytes(10, 1)}});
        MakeImage(W->PathOf("Unnamed(1).d64"));
        TNewDiskValues Values;
        Values.Filename.clear();
        CreateNewDisk(2, Values);
        QCOMPARE(QFileInfo(QString::fromStdString(W->Form->Disk(2)->FileName())).fileName(),
                 QString("Unnamed(2).d64"));

        // The dialog's default name meets a filled disk: No keeps file, side and dialog as they were.
        const ByteArray Filled = FileBytes(W->PathOf("Unnamed.d64"));
        const auto Shown = W->Form->Disk(2);
        W->Prompts.YesNoAnswers = {false};
        QVERIFY(CreateNewDisk(2, TNewDiskValues()));
        QCOMPARE(W->Prompts.Shown.last().DefaultNo, true);
        QCOMPARE(W->Prompts.Questions().last(),
                 QString("The file <Unnamed.d64> already exists!\r\nReplace it with the new disk?"));
        QCOMPARE(FileBytes(W->PathOf("Unnamed.d64")), Filled);
        QCOMPARE(W->Form->Disk(2), Shown);
        W->Prompts.YesNoAnswers = {true};
        CreateNewDisk(2, TNewDiskValues());
        QCOMPARE(int(FileBytes(W->PathOf("Unnamed.d64")).size()), 174848);
        QCOMPARE(W->Form->StatusText(2), QString("664 BLOCKS FREE - 0 FILE(S) ON DISK"));
    }

    // A 1581 disk left unnamed: the kind's default name, size and DOS type, shown in the side.
    void newDiskOfAnotherKind() {
        QDir::setCurrent(W->Dir.path());
        TNewDiskValues Values;
        Values.Kind = TNewDiskKind::D81;
        Values.DiskID = "AB 3D";
        Values.Filename.clear();
        CreateNewDisk(2, Values);
        const ByteArray File = FileBytes(W->PathOf("Unnamed.d81"));
        QCOMPARE(int(File.size()), 819200);
        QCOMPARE(std::string(File.begin() + 399382, File.begin() + 399387),
                 std::string("AB\xA0") + "3D"); // 40/0
        QCOMPARE(W->Form->StatusText(2), QString("3160 BLOCKS FREE - 0 FILE(S) ON DISK"));
    }

    // A partition goes onto another 1581 disk whole, to the sectors it holds, and is
    // refused by a 1541 disk with nothing written.
    void partitionCopiesWholeOntoAnotherD81() {
        const auto Sector = [](int Track, int Number) { return ((Track - 1) * 40 + Number) * 256; };
        for (const char* Name : {"a.d81", "b.d81"})
            TC64Disk::CreateDiskImage(LocalPath(W->PathOf(Name)), dtD81, deCbmDos)->Save();
        ByteArray Image = FileBytes(W->PathOf("a.d81"));
        uint8_t* Slot = Image.data() + Sector(40, 3);
        const uint8_t Entry[] = {0x85, 41, 0, 'P', 'A', 'R', 'T'};
        std::copy(std::begin(Entry), std::end(Entry), Slot + 2);
        std::fill(Slot + 9, Slot + 21, 0xA0);
        Slot[30] = 40;
        std::fill_n(Image.data() + Sector(40, 2) + 16, 6, 0); // track 41 taken
        Image[Sector(41, 7)] = 0x5A;
        std::ofstream(LocalPath(W->PathOf("a.d81")), std::ios::binary)
            .write(reinterpret_cast<const char*>(Image.data()), std::streamsize(Image.size()));
        W->Open(1, W->PathOf("a.d81"));
        W->Open(2, W->PathOf("b.d81"));
        Select(W->View(1), {1});
        W->Form->Copy1Click();
        QVERIFY(W->Prompts.Errors().isEmpty());
        QCOMPARE(ListedNames(W->View(2)), QStringList{"PART"});
        const ByteArray Copied = FileBytes(W->PathOf("b.d81"));
        QCOMPARE(ByteArray(Copied.begin() + Sector(41, 0), Copied.begin() + Sector(42, 0)),
                 ByteArray(Image.begin() + Sector(41, 0), Image.begin() + Sector(42, 0)));
        QCOMPARE(W->Form->StatusText(2), QString("3120 BLOCKS FREE - 1 FILE(S) ON DISK"));

        W->Open(2, MakeImage(W->PathOf("c.d64")));
        const ByteArray Before = FileBytes(W->PathOf("c.d64"));
        Select(W->View(1), {1});
        W->Form->Copy1Click();
        QCOMPARE(W->Prompts.Errors().last(),
                 "CBM partitions can only be copied to a D81 disk!" + NothingWritten);
        QCOMPARE(FileBytes(W->PathOf("c.d64")), Before);
    }

  private:
    // Runs the new-disk command on a side with the dialog filled with Values and OK clicked.
    // True when the dialog stayed open after OK with Values kept (it is then cancelled).
    bool CreateNewDisk(int Side, const TNewDiskValues& Values) {
        W->View(Side)->SetFocus();
        bool KeptOpen = false;
        QTimer::singleShot(0, [Values, &KeptOpen] {
            auto* Dialog = qobject_cast<TNewDlg*>(QApplication::activeModalWidget());
            QVERIFY(Dialog);
            Dialog->SetValues(Values);
            QTest::mouseClick(Dialog->OKBtn, Qt::LeftButton);
            if (!Dialog->isVisible()) return;
            KeptOpen = Dialog->Values() == Values;
            Dialog->reject();
        });
        W->Form->NewD641Click();
        return KeptOpen;
    }
};

QTEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
