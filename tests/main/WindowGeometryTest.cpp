// The main window's widget-free geometry: listing column widths and window clamping.
#include "WindowGeometry.h"

#include <QTest>

class WindowGeometryTest : public QObject {
    Q_OBJECT

  private slots:
    void columnWidths_data() {
        QTest::addColumn<int>("ClientWidth");
        QTest::addColumn<int>("Size");
        QTest::addColumn<int>("Name");
        QTest::addColumn<int>("Type");
        QTest::addColumn<int>("TrackSector");
        // 316 is a grid of half the minimum window; 41.08, 158, 47.4 round plainly.
        QTest::newRow("half minimum window") << 316 << 41 << 158 << 47 << 66;
        // 50.5 goes down and 51.5 goes up: halves go to the even neighbour.
        QTest::newRow("name half to even, down") << 101 << 13 << 50 << 15 << 19;
        QTest::newRow("name half to even, up") << 103 << 13 << 52 << 15 << 19;
        // 4.5 goes down to 4, 1.5 up to 2.
        QTest::newRow("type half to even, down") << 30 << 4 << 15 << 4 << 3;
        QTest::newRow("type half to even, up") << 10 << 1 << 5 << 2 << -2;
        QTest::newRow("zero width") << 0 << 0 << 0 << 0 << -4;
    }

    void columnWidths() {
        QFETCH(int, ClientWidth);
        const std::array<int, 4> Widths = ListingColumnWidths(ClientWidth);
        QFETCH(int, Size);
        QFETCH(int, Name);
        QFETCH(int, Type);
        QFETCH(int, TrackSector);
        QCOMPARE(Widths[0], Size);
        QCOMPARE(Widths[1], Name);
        QCOMPARE(Widths[2], Type);
        QCOMPARE(Widths[3], TrackSector);
    }

    void clampWindowBounds_data() {
        QTest::addColumn<QRect>("Stored");
        QTest::addColumn<QMargins>("Frame");
        QTest::addColumn<QSize>("Screen");
        QTest::addColumn<QRect>("Expected");
        // A 1024 x 768 screen; a minimum window fits up to 1024-640 = 384 and 768-480 = 288.
        const QSize Screen(1024, 768);
        const QMargins None;
        QTest::newRow("inside stays") << QRect(10, 20, 800, 600) << None << Screen << QRect(10, 20, 800, 600);
        QTest::newRow("negative position")
            << QRect(-50, -1, 700, 500) << None << Screen << QRect(0, 0, 700, 500);
        QTest::newRow("exactly at the limit")
            << QRect(384, 288, 640, 480) << None << Screen << QRect(384, 288, 640, 480);
        QTest::newRow("one short of the limit")
            << QRect(383, 287, 640, 480) << None << Screen << QRect(383, 287, 640, 480);
        QTest::newRow("too small") << QRect(0, 0, 300, 479) << None << Screen << QRect(0, 0, 640, 480);
        QTest::newRow("larger than the screen")
            << QRect(0, 0, 2000, 800) << None << Screen << QRect(0, 0, 1024, 768);
        // The window's own size decides how far it may go: nothing reaches past an edge.
        QTest::newRow("far right and low")
            << QRect(5000, 700, 700, 500) << None << Screen << QRect(324, 268, 700, 500);
        QTest::newRow("wide window") << QRect(384, 0, 1000, 480) << None << Screen << QRect(24, 0, 1000, 480);
        // With a frame (1 pixel border, 24 pixel title bar) the whole frame stays on screen.
        const QMargins Framed(1, 24, 1, 1);
        QTest::newRow("framed, above and left")
            << QRect(-5, -5, 640, 480) << Framed << Screen << QRect(0, 0, 640, 480);
        QTest::newRow("framed, far low")
            << QRect(0, 700, 640, 480) << Framed << Screen << QRect(0, 263, 640, 480);
        QTest::newRow("framed, screen sized")
            << QRect(0, 0, 1024, 768) << Framed << Screen << QRect(0, 0, 1022, 743);
        // A screen below the minimum keeps the top left corner, and so the title bar, on it.
        QTest::newRow("tiny screen") << QRect(50, 50, 640, 480) << Framed << QSize(600, 400)
                                     << QRect(0, 0, 640, 480);
    }

    void clampWindowBounds() {
        QFETCH(QRect, Stored);
        QFETCH(QMargins, Frame);
        QFETCH(QSize, Screen);
        QFETCH(QRect, Expected);
        QCOMPARE(ClampWindowBounds(Stored, Screen, Frame), Expected);
    }
};

QTEST_APPLESS_MAIN(WindowGeometryTest)
#include "WindowGeometryTest.moc"
