// Decoding the embedded splash picture with libjpeg, and bad data that must give a null
// image without crashing.
#include "JpegImage.h"
#include "Resources.h"

#include <QRandomGenerator>
#include <QtTest>

class JpegImageTest : public QObject {
    Q_OBJECT

    QByteArray FSplash;

    static bool Near(QRgb Pixel, int R, int G, int B) {
        return std::abs(qRed(Pixel) - R) <= 12 && std::abs(qGreen(Pixel) - G) <= 12 &&
               std::abs(qBlue(Pixel) - B) <= 12;
    }

  private slots:
    void initTestCase() {
        FSplash = Resources::Load(Resources::SplashPath());
        QVERIFY(!FSplash.isEmpty());
    }

    void SplashDecodesToItsSizeAndColours() {
        const QImage Picture = JpegImage::Decode(FSplash);
        QCOMPARE(Picture.size(), QSize(382, 273));
        // The frame is the C64's light blue, the panel its dark blue: red and blue must
        // not have been swapped on the way.
        QVERIFY(Near(Picture.pixel(4, 4), 0x6C, 0x5E, 0xB5));
        QVERIFY(Near(Picture.pixel(30, 260 - 10), 0x35, 0x28, 0x79));
    }

    void SplashIsBaseline() {
        // Start-of-frame 0 (baseline DCT) and no progressive frame.
        QVERIFY(FSplash.contains(QByteArray("\xFF\xC0", 2)));
        QVERIFY(!FSplash.contains(QByteArray("\xFF\xC2", 2)));
    }

    void TruncatedDataGivesNullImage() {
        for (qsizetype Length :
             {qsizetype(0), qsizetype(1), qsizetype(2), qsizetype(20), qsizetype(200), FSplash.size() / 3,
              FSplash.size() / 2, FSplash.size() - 100, FSplash.size() - 2})
            QVERIFY2(JpegImage::Decode(FSplash.left(Length)).isNull(), qPrintable(QString::number(Length)));
    }

    void ForeignDataGivesNullImage() {
        QVERIFY(JpegImage::Decode(QByteArray("\x89PNG\r\n\x1A\n", 8)).isNull());
        QVERIFY(JpegImage::Decode(QByteArray(4096, '\0')).isNull());
        QByteArray Noise(4096, '\0');
        QRandomGenerator Random(1541);
        for (char& Byte : Noise)
            Byte = static_cast<char>(Random.bounded(256));
        QVERIFY(JpegImage::Decode(Noise).isNull());
        // A start-of-image marker followed by noise.
        QVERIFY(JpegImage::Decode(QByteArray("\xFF\xD8", 2) + Noise).isNull());
    }

    void OversizedFrameIsRefusedBeforeDecoding() {
        QByteArray Huge = FSplash;
        const qsizetype Frame = Huge.indexOf(QByteArray("\xFF\xC0", 2));
        QVERIFY(Frame > 0);
        // Marker, length (2), precision (1), then height and width, big-endian.
        for (int i = 5; i <= 8; ++i)
            Huge[Frame + i] = '\xFF';
        QVERIFY(JpegImage::Decode(Huge).isNull());
    }

    void DamagedEntropyDataNeverCrashes() {
        // Flipped bits in the compressed data may or may not be noticed by libjpeg; the
        // result is either refused or a picture of the stored size.
        QRandomGenerator Random(64);
        const qsizetype Scan = FSplash.indexOf(QByteArray("\xFF\xDA", 2));
        QVERIFY(Scan > 0);
        for (int Round = 0; Round < 40; ++Round) {
            QByteArray Damaged = FSplash;
            for (int Flip = 0; Flip < 8; ++Flip) {
                const qsizetype At = Scan + 20 + Random.bounded(Damaged.size() - Scan - 22);
                Damaged[At] = static_cast<char>(Damaged[At] ^ (1 << Random.bounded(8)));
            }
            const QImage Picture = JpegImage::Decode(Damaged);
            QVERIFY(Picture.isNull() || Picture.size() == QSize(382, 273));
        }
    }
};

QTEST_MAIN(JpegImageTest)
#include "JpegImageTest.moc"
