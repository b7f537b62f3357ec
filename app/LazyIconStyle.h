// TLazyIconStyle: the application's style, with the arrows of the tool-bar and menu-bar
// extension buttons made when first drawn. The style reads those icons from image files,
// and Qt's image reader loads every image-format plugin to read the first one: about a
// millisecond of every start, for arrows seen only in a window too narrow for its bars.
#pragma once

#include <QProxyStyle>

class TLazyIconStyle : public QProxyStyle {
  public:
    // Takes Base over, as QProxyStyle does.
    explicit TLazyIconStyle(QStyle* Base);

    QIcon standardIcon(StandardPixmap Pixmap, const QStyleOption* Option = nullptr,
                       const QWidget* Widget = nullptr) const override;
};
