// Host files into the window's disks: real drops of file URLs, File > Import Files, the
// same-name question of import and F5, and names that survive an export and an import.
#include "D64StringGrid.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <tuple>

namespace {

using TSame = IUserPrompts::TSameNameAnswer;
// Name field (padding cut), type byte and bytes of each listed file, in order.
using TFileList = std::vector<std::tuple<PetsciiString, uint8_t, ByteArray>>;

TFileList FilesOf(const QString& Image) {
    auto Disk = TC64Disk::OpenDiskImage(LocalPath(Image), deCbmDos);
    TFileList Files;
    Disk->ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& Record) {
        PetsciiString Name(Record.Entry + 5, Record.Entry + 21);
        Name.erase(Name.find_last_not_of('\xA0') + 1);
        Files.emplace_back(Name, Record.Entry[2], Disk->LoadFile(Record.Entry));
    });
    return Files;
}

void Drop(TD64StringGrid* View, const QStringList& Paths, Qt::KeyboardModifiers Modifiers = {}) {
    QMimeData Data;
    QList<QUrl> Urls;
    for (const QString& Path : Paths)
        Urls << QUrl::fromLocalFile(Path);
    Data.setUrls(Urls);
    const QPoint Pos(20, 30);
    QDragEnterEvent Enter(Pos, Qt::CopyAction, &Data, Qt::LeftButton, Modifiers);
    QApplication::sendEvent(View->viewport(), &Enter);
    QDropEvent Dropped(Pos, Qt::CopyAction, &Data, Qt::LeftButton, Modifiers);
    QApplication::sendEvent(View->viewport(), &Dropped);
}

QString WriteFile(const QString& Path, const ByteArray& Bytes) {
    QFile File(Path);
    File.open(QIODevice::WriteOnly);
    File.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<qint64>(Bytes.size()));
    return Path;
}

} // namespace

class ImportTest : public QObject {
    Q_OBJECT

  private slots:
    void dropsAndTheDialogImportWholeBatches() {
        TWindowFixture W;
        W.Show();
        const QString Image =
            MakeImage(W.PathOf("a.d64"), {{"GAME", SomeBytes(10, 1)}, {"DEMO", SomeBytes(20, 2)}});
        W.Open(1, Image);
        const QString Game = WriteFile(W.PathOf("game.prg"), SomeBytes(600, 3));
        const QString Demo = WriteFile(W.PathOf("demo.prg"), SomeBytes(30, 4));
        const QString Notes = WriteFile(W.PathOf("Notes.seq"), SomeBytes(5, 5));
        const QString Long = WriteFile(W.PathOf("a-name-longer-than-16.usr"), {});
        W.Prompts.SameNameAnswers = {{TSame::Replace, false}, {TSame::KeepBoth, false}};
        Drop(W.View(1), {Game, Demo, Notes, Long});
        QCOMPARE(
            W.Prompts.Texts(ScriptedPrompts::TKind::SameName).value(0),
            QString(
                "The disk already holds a file named \"GAME\".\r\nReplace it, keep both or skip this file?"));
        QCOMPARE(W.Prompts.Messages(), QStringList{"4 Files successfully imported!\r\nThe name of <" + Long +
                                                   "> is cut to 16 characters: A-NAME-LONGER-TH"});
        // The replaced GAME is scratched and its slot taken by the new one.
        const TFileList Expected = {{"GAME", 0x82, SomeBytes(600, 3)},
                                    {"DEMO", 0x82, SomeBytes(20, 2)},
                                    {"DEMO(2)", 0x82, SomeBytes(30, 4)},
                                    {"\xCEOTES", 0x81, SomeBytes(5, 5)},
                                    {"A-NAME-LONGER-TH", 0x83, ByteArray{}}};
        QVERIFY(FilesOf(Image) == Expected);
        for (int Row = 1; Row <= 5; ++Row)
            QCOMPARE(W.View(1)->IsRowSelected(Row), Row != 2);

        // A batch that does not fit goes in not at all.
        const ByteArray Before = FileBytes(Image);
        W.Prompts.Clear();
        W.View(1)->SetFocus();
        W.Prompts.OpenFileLists = {
            {WriteFile(W.PathOf("x.prg"), {1}), WriteFile(W.PathOf("huge"), SomeBytes(170000, 6))}};
        QTest::keyClick(W.View(1), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(W.Prompts.Errors(), QStringList{"Disk is full!\r\nNothing has been written to it."});
        QCOMPARE(FileBytes(Image), Before);

        // A .d64 dropped with Shift gives all its files; without, it opens as ever.
        const QString Other =
            MakeImage(W.PathOf("b.d64"), {{"GAME", SomeBytes(7, 7), 0xC2}, {"NEW", SomeBytes(8, 8)}});
        W.Prompts.SameNameAnswers = {{TSame::Skip, true}};
        Drop(W.View(1), {Other}, Qt::ShiftModifier);
        QCOMPARE(std::get<0>(FilesOf(Image).back()), PetsciiString("NEW"));
        QCOMPARE(FilesOf(Image).size(), 6u);
        Drop(W.View(1), {Other});
        QCOMPARE(W.Form->Disk(1)->FileName(), LocalPath(Other));
        QVERIFY(W.Prompts.Unexpected.isEmpty());
    }

    void copyAsksAboutNamesTheDestinationHolds() {
        TWindowFixture W;
        W.Show();
        W.Open(1, MakeImage(
                      W.PathOf("a.d64"),
                      {{"ONE", SomeBytes(300, 1)}, {"TWO", SomeBytes(10, 2)}, {"THREE", SomeBytes(5, 3)}}));
        const QString Right =
            MakeImage(W.PathOf("b.d64"), {{"ONE", SomeBytes(9, 4)}, {"TWO", SomeBytes(9, 5)}});
        W.Open(2, Right);
        W.View(1)->SetFocus();
        W.View(1)->SelectAll();
        W.Prompts.SameNameAnswers = {{TSame::Replace, true}};
        QTest::keyClick(W.View(1), Qt::Key_F5);
        QCOMPARE(W.Prompts.Texts(ScriptedPrompts::TKind::SameName).size(), 1);
        const TFileList Expected = {{"ONE", 0x82, SomeBytes(300, 1)},
                                    {"TWO", 0x82, SomeBytes(10, 2)},
                                    {"THREE", 0x82, SomeBytes(5, 3)}};
        QVERIFY(FilesOf(Right) == Expected);
        QVERIFY(W.Prompts.Unexpected.isEmpty());
    }

    void exportedFilesImportAsTheyWere() {
        TWindowFixture W;
        W.Show();
        const QString Source = MakeImage(W.PathOf("a.d64"), {{"PRG/\x01", SomeBytes(300, 1)},
                                                             {"seq", SomeBytes(20, 2), 0x81},
                                                             {".USR\xA0x", SomeBytes(40, 3), 0xC3},
                                                             {"Del", SomeBytes(5, 4), 0x80}});
        W.Open(1, Source);
        QAction* Pc64Item = nullptr;
        for (QAction* Item : W.Form->findChildren<QAction*>())
            if (Item->text() == "Export as PC6&4 Files (.P00)") Pc64Item = Item;
        QVERIFY(Pc64Item);
        for (bool Pc64 : {false, true}) {
            const QString Out = W.PathOf(Pc64 ? "pc64" : "plain");
            QDir().mkpath(Out);
            W.View(1)->SetFocus();
            Pc64Item->setChecked(Pc64);
            W.Prompts.FolderNames = {Out};
            W.Form->ExporttoPRG2Click(2);
            QStringList Exported;
            for (const QString& Name : QDir(Out).entryList(QDir::Files, QDir::Name))
                Exported << Out + "/" + Name;
            const QString Target = MakeImage(W.PathOf(Pc64 ? "pc64.d64" : "plain.d64"));
            W.Open(2, Target);
            Drop(W.View(2), Exported);
            // Name, type and bytes come back; not the locked flag, and a plain file's name
            // only as listed, up to its shifted space.
            TFileList Expected = FilesOf(Source);
            std::get<1>(Expected[2]) = 0x83;
            if (!Pc64) std::get<0>(Expected[2]) = ".USR";
            TFileList Imported = FilesOf(Target);
            std::sort(Expected.begin(), Expected.end());
            std::sort(Imported.begin(), Imported.end());
            QVERIFY2(Imported == Expected, Pc64 ? "PC64" : "plain");
        }
        QVERIFY(W.Prompts.Unexpected.isEmpty());
    }
};

QTEST_MAIN(ImportTest)
#include "ImportTest.moc"
