// The start-up sequence of the program.
#include "StartUp.h"

#include "FontInstaller.h"
#include "HandlerGuard.h"
#include "Splash.h"
#include "UserPrompts.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <algorithm>

namespace StartUp {

namespace {

// Ends the event loop once the main window has been closed (a close it refuses does
// not count). The splash may still show then, so Qt's last-window rule is not enough.
class TQuitWhenClosed : public QObject {
  public:
    explicit TQuitWhenClosed(QWidget* Window) : QObject(Window), FWindow(Window) {
        Window->installEventFilter(this);
    }

    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Watched == FWindow && Event->type() == QEvent::Close)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!FWindow->isVisible()) QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        return false;
    }

  private:
    QWidget* FWindow;
};

} // namespace

QString DefaultApplicationTitle(const QString& ExecutablePath) {
    const qsizetype Slash = std::max(ExecutablePath.lastIndexOf(u'/'), ExecutablePath.lastIndexOf(u'\\'));
    QString Name = ExecutablePath.mid(Slash + 1);
    const qsizetype Dot = Name.indexOf(u'.');
    if (Dot >= 0) Name.truncate(Dot);
    return Name.left(1) + Name.mid(1).toLower();
}

int RunApplication(IFontInstaller& Fonts, IUserPrompts& Prompts, const TMainWindowFactory& CreateMainWindow) {
    if (!Fonts.AddFont(FirstFontFile)) {
        Prompts.ShowMessage(QStringLiteral("Can't load font:") + FirstFontFile);
        return 0;
    }
    if (!Fonts.AddFont(SecondFontFile)) {
        Prompts.ShowMessage(QStringLiteral("Can't load font:") + SecondFontFile);
        // The process ends here, so the first font goes again too.
        Fonts.RemoveFont(FirstFontFile);
        return 0;
    }
    // Application fonts are visible to Qt at once; there is nothing to broadcast.

    // The title is the application name only: a display name would be appended by Qt
    // to every window title on X11 and Wayland ("Open — Kobaltmandrexis").
    QCoreApplication::setApplicationName(ApplicationTitle);

    std::unique_ptr<QWidget> MainWindow;
    QPointer<TSplashScreen> Splash;
    const bool Started = RunGuarded(Prompts, [&] {
        MainWindow = CreateMainWindow();
        new TQuitWhenClosed(MainWindow.get());
        Splash = new TSplashScreen();
        MainWindow->show();
        // A box shown while the main window opened (a setting of the wrong type) runs its
        // own event loop; the splash's timer may have ended the splash in it. Its time is
        // then over and it is not shown late.
        if (Splash) Splash->show();
    });
    if (!Started) {
        // The window could not be built; the error has been shown.
        delete Splash;
        return 1;
    }
    const int ExitCode = QApplication::exec();
    delete Splash; // still there when the main window closed within 2.5 seconds
    return ExitCode;
}

} // namespace StartUp
