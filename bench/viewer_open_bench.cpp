// The viewer's open timed end to end: a 200-block file in the left pane's current row, F3,
// until the viewer window is exposed and has painted its first view. Each of three files
// (a BASIC program, a SEQ text, machine code shown as hex) is opened Runs times; prints the
// median and highest wall time in milliseconds and the median CPU time of the process.
// Run offscreen: viewer_open_bench [RUNS]
#include "D64StringGrid.h"
#include "FileViewer.h"
#include "Main.h"
#include "MemorySettingsStore.h"
#include "ScriptedPrompts.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

// The process's CPU time.
double CpuMs() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

constexpr size_t FileSize = 200 * 254;

// A BASIC program of 200 blocks: PRINT lines with a colour code in their strings.
ByteArray BasicProgram() {
    ByteArray File = {0x01, 0x08};
    unsigned Address = 0x0801, Number = 10;
    while (File.size() + 48 < FileSize) {
        const std::string Body = "\x99\"\x05HELLO FROM LINE " + std::to_string(Number) + " OF THE PROGRAM\"";
        Address += 4 + static_cast<unsigned>(Body.size()) + 1;
        File.insert(File.end(), {static_cast<uint8_t>(Address), static_cast<uint8_t>(Address >> 8),
                                 static_cast<uint8_t>(Number), static_cast<uint8_t>(Number >> 8)});
        File.insert(File.end(), Body.begin(), Body.end());
        File.push_back(0);
        Number += 10;
    }
    File.insert(File.end(), {0, 0});
    File.resize(FileSize, 0xEA);
    return File;
}

ByteArray SeqText() {
    ByteArray File;
    for (unsigned Line = 0; File.size() < FileSize; ++Line) {
        const std::string Text = "\x05THIS IS LINE " + std::to_string(Line) + " OF A LONG TEXT FILE\x0D";
        File.insert(File.end(), Text.begin(), Text.end());
    }
    File.resize(FileSize);
    return File;
}

ByteArray MachineCode() {
    ByteArray File(FileSize);
    File[0] = 0x00;
    File[1] = 0xC0; // $C000: no BASIC, no picture
    for (size_t i = 2; i < FileSize; ++i)
        File[i] = static_cast<uint8_t>(i * 37 + i / 254);
    return File;
}

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    const int Runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    for (const char* Font : {"/CBM64_G.fon", "/CBM64_S.fon"})
        QFontDatabase::addApplicationFont(QCoreApplication::applicationDirPath() + Font);
    QTemporaryDir Dir;
    ScriptedPrompts Prompts;
    MemorySettingsStore Store;
    TQuietFontInstaller Fonts;
    TMainForm Form(Prompts, Store, Fonts);
    Form.show();
    if (!QTest::qWaitForWindowExposed(&Form)) return 1;
    Form.LeftView()->SetFocus();
    Prompts.OpenFileNames.push_back(
        MakeImage(Dir.filePath("bench.d64"),
                  {{"BASIC", BasicProgram()}, {"TEXT", SeqText(), 0x81}, {"CODE", MachineCode()}}));
    Form.OpenD641Click();

    const char* const Names[] = {"BASIC listing", "PETSCII text", "hex rows"};
    for (int Row = 1; Row <= 3; ++Row) {
        std::vector<double> Walls, Cpus;
        for (int Run = 0; Run < Runs; ++Run) {
            Form.activateWindow();
            if (!QTest::qWaitForWindowActive(&Form)) return 1;
            Form.LeftView()->SetFocus();
            Form.LeftView()->SetRow(Row);
            QCoreApplication::processEvents();
            const double Cpu = CpuMs();
            const auto Start = std::chrono::steady_clock::now();
            QTest::keyClick(Form.LeftView(), Qt::Key_F3);
            TFileViewer* Viewer = Form.findChild<TFileViewer*>();
            if (!Viewer) return 1;
            // Waits for the window system's events, without qWaitForWindowExposed's 10 ms naps.
            const auto Deadline = Start + std::chrono::seconds(5);
            while (!(Viewer->windowHandle() && Viewer->windowHandle()->isExposed())) {
                if (std::chrono::steady_clock::now() > Deadline) return 1;
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
            Viewer->repaint(); // the first view painted
            Walls.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count());
            Cpus.push_back(CpuMs() - Cpu);
            delete Viewer;
        }
        std::printf("%-14s median %.1f ms, highest %.1f ms, CPU %.1f ms (%d runs)\n", Names[Row - 1],
                    Median(Walls), *std::max_element(Walls.begin(), Walls.end()), Median(Cpus), Runs);
    }
    for (const ScriptedPrompts::TShown& Shown : Prompts.Shown)
        if (Shown.Kind != ScriptedPrompts::TKind::OpenFile)
            std::fprintf(stderr, "%s\n", qPrintable(Shown.Text));
    return 0;
}
