// The yardstick of the start-up benchmark: a bare Qt main window of the editor's size.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    QMainWindow Window;
    Window.resize(800, 600);
    Window.show();
    return QApplication::exec();
}
