// Fitting windows into the screen's available area.
#include "ScreenFit.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace {

// The frame a window manager will put around a window that it has not framed yet.
const QMargins GuessedFrame(4, 24, 4, 4);

// Moves the fixed-size form's controls into a scroll area of ClientSize.
void ScrollContents(QWidget* Window, const QSize& ClientSize) {
    auto* Area = Window->findChild<QScrollArea*>(QStringLiteral("ScreenFitArea"), Qt::FindDirectChildrenOnly);
    if (!Area) {
        auto* Content = new QWidget();
        Content->setFixedSize(Window->size());
        for (QObject* Child : Window->children()) {
            auto* Control = qobject_cast<QWidget*>(Child);
            if (!Control || Control->isWindow()) continue;
            const bool Shown = !Control->isHidden();
            Control->setParent(Content);
            Control->setVisible(Shown);
        }
        Area = new QScrollArea(Window);
        Area->setObjectName(QStringLiteral("ScreenFitArea"));
        Area->setFrameShape(QFrame::NoFrame);
        Area->setWidget(Content);
        Area->show();
    }
    Window->setFixedSize(ClientSize);
    Area->setGeometry(0, 0, ClientSize.width(), ClientSize.height());
}

} // namespace

namespace ScreenFit {

void Fit(QWidget* Window, const QRect& Available, const QMargins& Frame) {
    const QSize Room = Available.size().shrunkBy(Frame);
    const QSize Size = Window->size();
    if (Size.width() <= Room.width() && Size.height() <= Room.height()) return;
    const QSize Fitted = Size.boundedTo(Room);
    // Only pixel-placed forms without a layout have their controls moved into a scroll area.
    if (Window->minimumSize() == Window->maximumSize() && !Window->layout())
        ScrollContents(Window, Fitted);
    else {
        Window->setMinimumSize(Window->minimumSize().boundedTo(Fitted));
        Window->resize(Fitted);
    }
    const QRect Outer(Window->pos(), Fitted.grownBy(Frame));
    Window->move(std::clamp(Outer.left(), Available.left(), Available.right() + 1 - Outer.width()),
                 std::clamp(Outer.top(), Available.top(), Available.bottom() + 1 - Outer.height()));
}

bool TFitter::eventFilter(QObject* Watched, QEvent* Event) {
    auto* Window = qobject_cast<QWidget*>(Watched);
    if (Window && (Window->windowType() == Qt::Window || Window->windowType() == Qt::Dialog) &&
        (Event->type() == QEvent::Show || Event->type() == QEvent::Resize)) {
        // After the window's own handling of the event, which may size it from its settings.
        QTimer::singleShot(0, Window, [Target = QPointer<QWidget>(Window)] {
            if (!Target || !Target->isVisible() || !Target->screen()) return;
            const QRect Outer = Target->frameGeometry();
            const QRect Inner = Target->geometry();
            QMargins Frame(Inner.left() - Outer.left(), Inner.top() - Outer.top(),
                           Outer.right() - Inner.right(), Outer.bottom() - Inner.bottom());
            if (Frame.isNull()) Frame = GuessedFrame;
            Fit(Target, Target->screen()->availableGeometry(), Frame);
        });
    }
    return QObject::eventFilter(Watched, Event);
}

} // namespace ScreenFit
