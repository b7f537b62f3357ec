// Windows and dialogs that are larger than the screen's available area (a small screen, or
// a large scale factor) are fitted into it: a resizable window gets a smaller minimum size
// and is resized and moved into the area; a dialog of fixed size shows its contents in a
// scroll area that fits, so that every control, its buttons too, can still be reached.
#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>

class QWidget;

namespace ScreenFit {

// Fits the top-level Window into Available (screen coordinates), Frame being the window
// manager's frame around its client area. A window that fits is left alone.
void Fit(QWidget* Window, const QRect& Available, const QMargins& Frame);

// Installed on the application: fits every top-level window into its screen's available
// area once it is shown, and again when it grows past it.
class TFitter : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
};

} // namespace ScreenFit
