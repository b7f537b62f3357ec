// The window's F5 copy timed from the key to the final file: SOURCE opened in the left
// pane, TARGET in the right one, every file selected, F5. Prints the wall time and the
// process's CPU time of the command in milliseconds. Run offscreen.
#include "D64StringGrid.h"
#include "FontInstaller.h"
#include "Main.h"
#include "MemorySettingsStore.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

class TNoFonts : public IFontInstaller {
  public:
    bool AddFont(const QString&) override { return true; }
    bool RemoveFont(const QString&) override { return true; }
};

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_copy_bench SOURCE TARGET\n");
        return 2;
    }
    ScriptedPrompts Prompts;
    MemorySettingsStore Store;
    TNoFonts Fonts;
    TMainForm Form(Prompts, Store, Fonts);
    Form.show();
    if (!QTest::qWaitForWindowExposed(&Form)) return 1;
    for (int Side : {2, 1}) {
        TD64StringGrid* View = Side == 1 ? Form.LeftView() : Form.RightView();
        View->SetFocus();
        Prompts.OpenFileNames.push_back(QString::fromLocal8Bit(argv[Side]));
        Form.OpenD641Click();
    }
    Form.SelectAll1Click();
    QCoreApplication::processEvents();
    const double Cpu = CpuMs();
    const auto Start = std::chrono::steady_clock::now();
    QTest::keyClick(Form.LeftView(), Qt::Key_F5);
    const double Wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
    std::printf("%.3f %.3f\n", Wall, CpuMs() - Cpu);
    // The opens' file dialogs are recorded too; any message means the copy did not run clean.
    int Messages = 0;
    for (const ScriptedPrompts::TShown& Shown : Prompts.Shown)
        if (Shown.Kind != ScriptedPrompts::TKind::OpenFile) {
            std::fprintf(stderr, "%s\n", qPrintable(Shown.Text));
            ++Messages;
        }
    return Messages == 0 ? 0 : 1;
}
