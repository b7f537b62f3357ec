// The extension arrows as icons that ask the base style for the real icon at first use.
#include "LazyIconStyle.h"

#include <QIconEngine>
#include <QPointer>

namespace {

// Everything an icon is asked goes to the base style's icon, made at the first request.
class TLazyIconEngine : public QIconEngine {
  public:
    TLazyIconEngine(QStyle* Base, QStyle::StandardPixmap Pixmap) : Base(Base), Pixmap(Pixmap) {}

    void paint(QPainter* Painter, const QRect& Rect, QIcon::Mode Mode, QIcon::State State) override {
        Icon().paint(Painter, Rect, Qt::AlignCenter, Mode, State);
    }
    QPixmap pixmap(const QSize& Size, QIcon::Mode Mode, QIcon::State State) override {
        return Icon().pixmap(Size, 1.0, Mode, State);
    }
    QPixmap scaledPixmap(const QSize& Size, QIcon::Mode Mode, QIcon::State State, qreal Scale) override {
        return Icon().pixmap(Size / Scale, Scale, Mode, State);
    }
    QSize actualSize(const QSize& Size, QIcon::Mode Mode, QIcon::State State) override {
        return Icon().actualSize(Size, Mode, State);
    }
    QList<QSize> availableSizes(QIcon::Mode Mode, QIcon::State State) override {
        return Icon().availableSizes(Mode, State);
    }
    // Not known without making it; the buttons only ask before painting, and an arrow is
    // what every style gives them.
    bool isNull() override { return Made ? Real.isNull() : false; }
    QString key() const override { return QStringLiteral("KbmLazyStyleIcon"); }
    QIconEngine* clone() const override {
        auto* Copy = new TLazyIconEngine(Base, Pixmap);
        Copy->Real = Real;
        Copy->Made = Made;
        return Copy;
    }

  private:
    const QIcon& Icon() {
        if (!Made) {
            // A style replaced since leaves no arrow rather than a dangling one.
            if (Base) Real = Base->standardIcon(Pixmap);
            Made = true;
        }
        return Real;
    }

    QPointer<QStyle> Base;
    QStyle::StandardPixmap Pixmap;
    QIcon Real;
    bool Made = false;
};

} // namespace

TLazyIconStyle::TLazyIconStyle(QStyle* Base) : QProxyStyle(Base) {}

QIcon TLazyIconStyle::standardIcon(StandardPixmap Pixmap, const QStyleOption* Option,
                                   const QWidget* Widget) const {
    if (Pixmap == SP_ToolBarHorizontalExtensionButton || Pixmap == SP_ToolBarVerticalExtensionButton)
        return QIcon(new TLazyIconEngine(baseStyle(), Pixmap));
    return QProxyStyle::standardIcon(Pixmap, Option, Widget);
}
