// Fitting windows into a screen's available area: a pixel-placed dialog of fixed size gets
// a scroll area in which its buttons can still be reached, a resizable window a smaller
// minimum size; both move into the area; a window that fits is left alone.
#include "ScreenFit.h"

#include <QApplication>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

class ScreenFitTest : public QObject {
    Q_OBJECT

    // An 800-pixel-high screen at scale factor 2, less a panel, and a window manager's frame.
    const QRect Small{0, 20, 512, 380};
    const QMargins Frame{4, 24, 4, 4};

  private slots:
    void fixedDialogScrollsItsControls() {
        QWidget Form(nullptr, Qt::Dialog);
        Form.setFixedSize(636, 433);
        auto* Ok = new QPushButton("Ok", &Form);
        Ok->setGeometry(540, 400, 75, 25);
        auto* Hidden = new QPushButton("hidden", &Form);
        Hidden->hide();
        Form.move(300, 300);
        ScreenFit::Fit(&Form, Small, Frame);
        QCOMPARE(Form.size(), QSize(504, 352));
        QCOMPARE(Form.pos(), QPoint(0, 20)); // the frame's corner
        auto* Area = Form.findChild<QScrollArea*>();
        QVERIFY(Area && Area->isAncestorOf(Ok) && Ok->geometry() == QRect(540, 400, 75, 25));
        QVERIFY(Hidden->isHidden() && !Ok->isHidden());
        Form.show();
        Area->ensureWidgetVisible(Ok);
        QVERIFY(Form.rect().contains(QRect(Ok->mapTo(&Form, QPoint()), Ok->size())));
        // Fitting again (the window grew or moved) keeps the one scroll area.
        ScreenFit::Fit(&Form, Small, Frame);
        QCOMPARE(Form.findChildren<QScrollArea*>().size(), 1);
    }

    void resizableWindowShrinksAndFitsAlone() {
        QMainWindow Window;
        Window.setMinimumSize(640, 480);
        Window.resize(700, 500);
        ScreenFit::Fit(&Window, Small, Frame);
        QVERIFY(Window.size() == QSize(504, 352) && Window.minimumSize() == QSize(504, 352));
        QCOMPARE(Window.pos(), QPoint(0, 20));
        QMainWindow Fits;
        Fits.resize(300, 200);
        Fits.move(100, 50);
        ScreenFit::Fit(&Fits, Small, Frame);
        QVERIFY(Fits.size() == QSize(300, 200) && Fits.pos() == QPoint(100, 50));
    }

    // The offscreen screen at scale factor 2 (400x400): a window shown too large is fitted.
    void shownWindowsAreFitted() {
        ScreenFit::TFitter Fitter;
        qApp->installEventFilter(&Fitter);
        QMainWindow Window;
        Window.setMinimumSize(640, 480);
        Window.show();
        QTRY_VERIFY(Window.screen()->availableGeometry().contains(Window.frameGeometry()));
        QVERIFY(Window.height() < 400 && Window.minimumHeight() < 400);
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication App(argc, argv);
    ScreenFitTest Test;
    return QTest::qExec(&Test, argc, argv);
}
#include "ScreenFitTest.moc"
