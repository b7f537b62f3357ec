// The start-up splash: the embedded JPEG decoded with libjpeg, centred, on top.
#include "Splash.h"

#include "JpegImage.h"
#include "Resources.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

TSplashScreen::TSplashScreen(QWidget* Parent)
    : QWidget(Parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      Image1(new QLabel(this)), Timer1(new QTimer(this)) {
    // The program ends when the main window closes, whether or not the splash still shows.
    setAttribute(Qt::WA_QuitOnClose, false);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TSplashScreen::Timer1Timer);
    // Running from creation, as designed; showing the splash restarts it at 2.5 seconds.
    Timer1->start(2000);
    FormCreate();
}

void TSplashScreen::FormCreate() {
    const QImage Picture = JpegImage::Decode(Resources::Load(Resources::SplashPath()));
    // A picture that cannot be decoded leaves an empty splash rather than stopping the start.
    if (!Picture.isNull()) Image1->setPixmap(QPixmap::fromImage(Picture));
    Image1->move(0, 0);
    Image1->resize(Picture.size());
    resize(Image1->size());
}

void TSplashScreen::FormShow() {
    setFixedSize(Image1->size());
    if (const QScreen* Screen = screen() ? screen() : QGuiApplication::primaryScreen())
        move(Screen->availableGeometry().center() - rect().center());
    Timer1->start(2500);
}

void TSplashScreen::showEvent(QShowEvent* Event) {
    QWidget::showEvent(Event);
    if (!Event->spontaneous()) FormShow();
}

void TSplashScreen::Timer1Timer() {
    hide();
    deleteLater();
}
