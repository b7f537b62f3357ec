// The dialogs' forms are laid out in pixels for an 8-point face at 96 dpi. These helpers
// give a form its caption, its fixed client size and that design size of the host's face,
// and make the framed bevels that group its fields.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QFrame;
class QWidget;

namespace FixedForm {

void Setup(QWidget* Form, const QString& Caption, QSize Client);
QFrame* NewBevel(QWidget* Parent, const QRect& Place);

} // namespace FixedForm
