// Shared pieces of the window tests.
#include "WindowTestSupport.h"

#include "D64StringGrid.h"

#include <QFile>
#include <QTest>

#include <cerrno>

TWindowFixture::~TWindowFixture() {
    HostFile::SetFaultHook(nullptr);
}

void TWindowFixture::Show() {
    Form = std::make_unique<TMainForm>(Prompts, Store, Fonts);
    Form->show();
    QVERIFY(QTest::qWaitForWindowActive(Form.get()));
}

void TWindowFixture::Open(int Side, const QString& Path) {
    View(Side)->SetFocus();
    Prompts.OpenFileNames.push_back(Path);
    Form->OpenD641Click();
}

TD64StringGrid* TWindowFixture::View(int Side) const {
    return Side == 1 ? Form->LeftView() : Form->RightView();
}

std::string LocalPath(const QString& Path) {
    return QFile::encodeName(Path).toStdString();
}

void RefuseOpens(int Count) {
    HostFile::SetFaultHook([Count](const char* Operation) mutable {
        return std::string(Operation) == "open" && Count-- > 0 ? EACCES : 0;
    });
}

bool MatchesFile(const TC64Disk& Disk) {
    return ByteArray(Disk.Image(), Disk.Image() + Disk.ImageSize()) ==
           FileBytes(QFile::decodeName(Disk.FileName().c_str()));
}

QString MakeImage(const QString& Path, const std::vector<TImageFile>& Files) {
    std::unique_ptr<TC64Disk> Disk = TC64Disk::CreateDiskImage(LocalPath(Path), dt35Tracks, deCbmDos);
    Disk->BeginUpdate();
    for (const TImageFile& File : Files) {
        uint8_t Entry[32] = {};
        Entry[2] = File.Type;
        StringToPetscii(File.Name, Entry + 5, 15);
        Entry[30] = static_cast<uint8_t>((File.Bytes.size() + 253) / 254);
        Disk->AddFile(File.Bytes, Entry);
    }
    Disk->EndUpdate(false);
    Disk->Save();
    return Path;
}

ByteArray FileBytes(const QString& Path) {
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly)) return {};
    const QByteArray Data = File.readAll();
    return ByteArray(Data.begin(), Data.end());
}

ByteArray SomeBytes(size_t Size, unsigned Seed) {
    ByteArray Bytes(Size);
    for (size_t i = 0; i < Size; ++i)
        Bytes[i] = static_cast<uint8_t>((i * 7 + Seed * 13 + i / 254) & 0xFF);
    return Bytes;
}

QStringList ListedNames(TD64StringGrid* View) {
    QStringList Names;
    if (View->Empty()) return Names;
    for (int Row = 1; Row < View->RowCount(); ++Row)
        Names << QString::fromLatin1(View->Cell(1, Row)).trimmed().remove('"');
    return Names;
}
