// The yardstick of the start-up benchmark: a bare Qt main window of the editor's size.
// With --menu it has a menu bar of one menu, the least window that shows text: it pays
// for the font set-up (fontconfig, FreeType, HarfBuzz) before its map, as every window
// with text does.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    QMainWindow Window;
    if (QApplication::arguments().contains(QStringLiteral("--menu")))
        Window.menuBar()->addMenu(QStringLiteral("&File"));
    Window.resize(800, 600);
    Window.show();
    return QApplication::exec();
}
