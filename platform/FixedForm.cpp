// Caption, fixed size, design font and bevels of the pixel-placed dialog forms.
#include "FixedForm.h"

#include <QFrame>
#include <QWidget>

namespace FixedForm {

void Setup(QWidget* Form, const QString& Caption, QSize Client) {
    Form->setWindowTitle(Caption);
    Form->setFixedSize(Client);
    // The host's face at the design size (8 points at 96 dpi), so captions fit their places.
    QFont Font = Form->font();
    Font.setPixelSize(11);
    Form->setFont(Font);
}

QFrame* NewBevel(QWidget* Parent, const QRect& Place) {
    auto* Bevel = new QFrame(Parent);
    Bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel->setGeometry(Place);
    return Bevel;
}

} // namespace FixedForm
