// TSplashScreen: the borderless picture shown above the main window at start-up. It
// closes and destroys itself 2.5 seconds after it was shown; it never blocks the window.
#pragma once

#include <QWidget>

class QLabel;
class QTimer;

class TSplashScreen : public QWidget {
    Q_OBJECT

  public:
    explicit TSplashScreen(QWidget* Parent = nullptr);

    QLabel* Image1;
    QTimer* Timer1;

    // Hides the splash and destroys it once control is back in the event loop.
    void Timer1Timer();

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    void FormCreate();
    void FormShow();
};
