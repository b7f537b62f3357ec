// The proxy style's extension arrows: the base style's own pictures, asked for only when
// first drawn; every other icon as the base style gives it.
#include "LazyIconStyle.h"

#include <QStyleFactory>
#include <QtTest>

namespace {

// Fusion, counting how often it is asked for an extension arrow.
class TCountingStyle : public QProxyStyle {
  public:
    TCountingStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    QIcon standardIcon(StandardPixmap Pixmap, const QStyleOption* Option,
                       const QWidget* Widget) const override {
        if (Pixmap == SP_ToolBarHorizontalExtensionButton || Pixmap == SP_ToolBarVerticalExtensionButton)
            ++Asked;
        return QProxyStyle::standardIcon(Pixmap, Option, Widget);
    }
    mutable int Asked = 0;
};

QImage Picture(const QIcon& Icon, int Size) {
    return Icon.pixmap(Size).toImage();
}

} // namespace

class LazyIconStyleTest : public QObject {
    Q_OBJECT

  private slots:
    void ArrowsAreTheBaseStylesMadeAtFirstUse() {
        auto* Base = new TCountingStyle;
        TLazyIconStyle Style(Base);
        const std::unique_ptr<QStyle> Fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        for (const auto Arrow :
             {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
            Base->Asked = 0;
            const QIcon Icon = Style.standardIcon(Arrow);
            QVERIFY(!Icon.isNull()); // a button with a null icon would size itself without it
            QCOMPARE(Base->Asked, 0);
            const QImage Drawn = Picture(Icon, 16);
            QCOMPARE(Base->Asked, 1);
            QVERIFY(!Drawn.isNull());
            QCOMPARE(Drawn, Picture(Fusion->standardIcon(Arrow), 16));
            // Made once: other sizes and copies use the same icon.
            QCOMPARE(Picture(QIcon(Icon), 32), Picture(Fusion->standardIcon(Arrow), 32));
            QCOMPARE(Base->Asked, 1);
        }
        const QIcon Ok = Style.standardIcon(QStyle::SP_DialogOkButton);
        QCOMPARE(Picture(Ok, 16), Picture(Fusion->standardIcon(QStyle::SP_DialogOkButton), 16));
    }
};

QTEST_MAIN(LazyIconStyleTest)
#include "LazyIconStyleTest.moc"
