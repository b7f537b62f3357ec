// Shared pieces of the window tests: the window with scripted prompts, settings in memory
// and a font installer that does nothing, and images built with the engine.
#pragma once

#include "FontInstaller.h"
#include "Main.h"
#include "MemorySettingsStore.h"
#include "ScriptedPrompts.h"
#include "c64disk.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

class TD64StringGrid;

class TQuietFontInstaller : public IFontInstaller {
  public:
    bool AddFont(const QString&) override { return true; }
    bool RemoveFont(const QString&) override { return true; }
};

// A file for an image: its name and bytes, written as a closed PRG unless Type says otherwise.
struct TImageFile {
    PetsciiString Name;
    ByteArray Bytes;
    uint8_t Type = 0x82;
};

// A window over a fresh folder. Open() takes an image into a side as the dialog does.
class TWindowFixture {
  public:
    QTemporaryDir Dir;
    ScriptedPrompts Prompts;
    MemorySettingsStore Store;
    TQuietFontInstaller Fonts;
    std::unique_ptr<TMainForm> Form;

    ~TWindowFixture();
    QString PathOf(const QString& Name) const { return Dir.filePath(Name); }
    void Show();
    void Open(int Side, const QString& Path);
    TD64StringGrid* View(int Side) const;
};

// The next Count opens of any file fail as for a file the user may not write.
void RefuseOpens(int Count);
// The disk object's image equals the bytes of its file.
bool MatchesFile(const TC64Disk& Disk);
// A formatted 35-track image holding these files, saved to Path.
QString MakeImage(const QString& Path, const std::vector<TImageFile>& Files = {});
std::string LocalPath(const QString& Path);
ByteArray FileBytes(const QString& Path);
// Pseudo-random bytes, different for each seed.
ByteArray SomeBytes(size_t Size, unsigned Seed);
// The names a side lists, in order.
QStringList ListedNames(TD64StringGrid* View);
