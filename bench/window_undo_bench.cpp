// The window's undo of a full-disk copy, timed from the Ctrl+Z key to the image file
// written back: a 35-track image filled with files is opened in the left pane, an empty
// one in the right pane, every file copied with F5, then Ctrl+Z. Prints the median wall
// time of the undo over Runs, in milliseconds. Run offscreen.
#include "D64StringGrid.h"
#include "FontInstaller.h"
#include "Main.h"
#include "MemorySettingsStore.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

class TNoFonts : public IFontInstaller {
  public:
    bool AddFont(const QString&) override { return true; }
    bool RemoveFont(const QString&) override { return true; }
};

// A 35-track image whose files take every free block: 16 files of 41 blocks and one of 8.
void MakeFullImage(const std::string& Path) {
    auto Disk = TC64Disk::CreateDiskImage(Path, dt35Tracks, deCbmDos);
    Disk->BeginUpdate();
    for (int i = 0; i < 17; ++i) {
        const int Blocks = i < 16 ? 41 : 8;
        ByteArray Bytes(static_cast<size_t>(Blocks) * 254);
        for (size_t b = 0; b < Bytes.size(); ++b)
            Bytes[b] = static_cast<uint8_t>(b * 7 + i);
        uint8_t Entry[32] = {};
        Entry[2] = 0x82;
        StringToPetscii("FILE" + std::to_string(i), Entry + 5, 15);
        Entry[30] = static_cast<uint8_t>(Blocks);
        Disk->AddFile(Bytes, Entry);
    }
    Disk->EndUpdate(false);
    Disk->Save();
}

} // namespace

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    constexpr int Runs = 9;
    QTemporaryDir Dir;
    const std::string Source = QFile::encodeName(Dir.filePath("full.d64")).toStdString();
    const std::string Target = QFile::encodeName(Dir.filePath("empty.d64")).toStdString();
    MakeFullImage(Source);
    TC64Disk::CreateDiskImage(Target, dt35Tracks, deCbmDos)->Save();

    ScriptedPrompts Prompts;
    MemorySettingsStore Store;
    TNoFonts Fonts;
    TMainForm Form(Prompts, Store, Fonts);
    Form.show();
    if (!QTest::qWaitForWindowActive(&Form)) return 1;
    Form.OpenImage(2, QString::fromStdString(Target));
    Form.OpenImage(1, QString::fromStdString(Source));
    std::vector<double> Walls;
    for (int Run = 0; Run < Runs; ++Run) {
        Form.LeftView()->SetFocus();
        Form.SelectAll1Click();
        QTest::keyClick(Form.LeftView(), Qt::Key_F5);
        if (Form.Disk(2)->GetFreeBlocks() != 0) {
            std::fprintf(stderr, "the copy did not fill the disk\n");
            return 1;
        }
        QCoreApplication::processEvents();
        const auto Start = std::chrono::steady_clock::now();
        QTest::keyClick(Form.LeftView(), Qt::Key_Z, Qt::ControlModifier);
        Walls.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count());
        if (Form.Disk(2)->GetFreeBlocks() != 664) {
            std::fprintf(stderr, "the undo did not empty the disk\n");
            return 1;
        }
    }
    std::sort(Walls.begin(), Walls.end());
    std::printf("%.3f\n", Walls[Runs / 2]);
    for (const ScriptedPrompts::TShown& Shown : Prompts.Shown)
        std::fprintf(stderr, "%s\n", qPrintable(Shown.Text));
    return Prompts.Shown.isEmpty() ? 0 : 1;
}
