// Checks the built C64 fonts: they load under their face names, give 8-pixel cells, and
// show every PETSCII code pixel for pixel as drawn in the glyph source, through
// QPainter::drawText, a label, a line edit, a combo box and a status bar message.
#include "GlyphSource.h"
#include "PetsciiText.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStatusBar>
#include <QtTest>

#include <optional>
#include <string>

namespace {

const QRgb Ink = qRgb(0, 0, 0);
const QRgb Paper = qRgb(255, 255, 255);
const int CodesPerLine = 16;

struct Face {
    const char* FileName;
    const char* Family;
    const char* SetName;
};
const Face Faces[] = {
    {"CBM64_G.fon", "CBM64 Big/Graphic", "Big/Graphic"},
    {"CBM64_S.fon", "CBM64 Small/Big", "Small/Big"},
};

// How a caller sets up the font. Exact is what the program's widgets use; the others are
// what a widget gets with fewer settings, and must look the same.
enum class Rendering { Exact, Defaults, Monochrome };

QFont C64Font(const QString& Family, int PixelSize, Rendering Mode = Rendering::Exact) {
    QFont Font(Family);
    Font.setPixelSize(PixelSize);
    if (Mode != Rendering::Defaults) Font.setStyleStrategy(QFont::NoAntialias);
    if (Mode == Rendering::Exact) Font.setHintingPreference(QFont::PreferNoHinting);
    return Font;
}

std::string LineOfCodes(int Line) {
    std::string Bytes;
    for (int I = 0; I < CodesPerLine; ++I)
        Bytes.push_back(static_cast<char>(Line * CodesPerLine + I));
    return Bytes;
}

// Compares a rendered image against the expected glyphs of Bytes drawn with their top-left
// corner at Origin, each source pixel Scale x Scale device pixels. Every pixel of the image,
// inside the text or not, must be exactly ink or paper as expected; with AnyPaper, any
// colour but ink counts as paper (for widgets that shade their background). Returns "" on a
// match, else the first difference.
QString Difference(const QImage& Shot, QPoint Origin, const GlyphSource& Source, const QString& SetName,
                   const std::string& Bytes, int Scale, bool AnyPaper = false) {
    const int Cell = 8 * Scale;
    const QRect Text(Origin, QSize(Cell * int(Bytes.size()), Cell));
    for (int Y = 0; Y < Shot.height(); ++Y)
        for (int X = 0; X < Shot.width(); ++X) {
            const QRgb Got = Shot.pixel(X, Y) | 0xff000000u;
            bool Want = false;
            QString Where = QString("outside the text at (%1,%2)").arg(X).arg(Y);
            if (Text.contains(X, Y)) {
                const int Index = (X - Origin.x()) / Cell;
                const auto Code = static_cast<unsigned char>(Bytes[Index]);
                const int Col = (X - Origin.x()) % Cell / Scale;
                const int Row = (Y - Origin.y()) / Scale;
                Want = Source.Expected(SetName, Code)[Row][Col];
                Where = QString("code $%1 row %2 column %3").arg(Code, 2, 16, QChar('0')).arg(Row).arg(Col);
            }
            const bool Matches = Want ? Got == Ink : (AnyPaper ? Got != Ink : Got == Paper);
            if (!Matches)
                return QString("%1: expected %2, got #%3")
                    .arg(Where, Want ? "ink" : "paper")
                    .arg(Got & 0xffffff, 6, 16, QChar('0'));
        }
    return {};
}

// Where a widget put the text: the offset that maps the first expected ink pixel onto the
// first ink pixel of the image (both in reading order).
std::optional<QPoint> TextOrigin(const QImage& Shot, const GlyphSource& Source, const QString& SetName,
                                 const std::string& Bytes, int Scale) {
    auto FirstInk = [](int Width, int Height, auto IsInk) -> std::optional<QPoint> {
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X)
                if (IsInk(X, Y)) return QPoint(X, Y);
        return std::nullopt;
    };
    const int Cell = 8 * Scale;
    const auto InShot = FirstInk(Shot.width(), Shot.height(),
                                 [&](int X, int Y) { return (Shot.pixel(X, Y) | 0xff000000u) == Ink; });
    const auto InText = FirstInk(Cell * int(Bytes.size()), Cell, [&](int X, int Y) {
        const auto Code = static_cast<unsigned char>(Bytes[X / Cell]);
        return Source.Expected(SetName, Code)[Y / Scale][X % Cell / Scale];
    });
    if (!InShot || !InText) return std::nullopt;
    return *InShot - *InText;
}

QImage Rgb(const QImage& Image) {
    return Image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

Q_DECLARE_METATYPE(Rendering)

class FontsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void facesMatchExactly_data();
    void facesMatchExactly();
    void metricsGiveSquareCells_data() { renderingData(); }
    void metricsGiveSquareCells();
    void drawTextMatchesGlyphSource_data() { renderingData(); }
    void drawTextMatchesGlyphSource();
    void labelMatchesGlyphSource_data() { renderingData(); }
    void labelMatchesGlyphSource();
    void lineEditMatchesGlyphSource_data() { renderingData(); }
    void lineEditMatchesGlyphSource();
    void comboBoxMatchesGlyphSource_data() { renderingData(); }
    void comboBoxMatchesGlyphSource();
    void statusBarMatchesGlyphSource_data() { renderingData(); }
    void statusBarMatchesGlyphSource();

  private:
    // Where a widget is expected to put its text.
    enum class Placement { TopLeft, Anywhere, TextInFrame };

    void renderingData();
    // Shows each line of 16 codes in a fresh TWidget (set up by Show) and compares the grab.
    template <typename TWidget, typename TShow> void checkEveryLine(TShow Show, Placement Where);

    GlyphSource FSource{KBM_GLYPH_SOURCE};
};

void FontsTest::initTestCase() {
    QVERIFY2(FSource.Error().isEmpty(), qPrintable(FSource.Error()));
    for (const Face& F : Faces) {
        const int Id = QFontDatabase::addApplicationFont(QString(KBM_FONT_DIR "/") + F.FileName);
        QVERIFY2(Id != -1, F.FileName);
        QCOMPARE(QFontDatabase::applicationFontFamilies(Id), QStringList{F.Family});
    }
}

void FontsTest::facesMatchExactly_data() {
    QTest::addColumn<QString>("Family");
    for (const Face& F : Faces)
        QTest::newRow(F.Family) << QString(F.Family);
}

void FontsTest::facesMatchExactly() {
    QFETCH(QString, Family);
    const QFontInfo Info(C64Font(Family, 8));
    QVERIFY(Info.exactMatch());
    QCOMPARE(Info.family(), Family);
    QCOMPARE(Info.pixelSize(), 8);
    QVERIFY(Info.fixedPitch());
}

void FontsTest::renderingData() {
    QTest::addColumn<QString>("Family");
    QTest::addColumn<QString>("SetName");
    QTest::addColumn<int>("Scale");
    QTest::addColumn<Rendering>("Mode");
    const std::pair<Rendering, const char*> Modes[] = {{Rendering::Exact, "exact"},
                                                       {Rendering::Defaults, "defaults"},
                                                       {Rendering::Monochrome, "monochrome"}};
    for (const Face& F : Faces)
        for (int Scale : {1, 2})
            for (const auto& [Mode, ModeName] : Modes)
                QTest::addRow("%s %dpx %s", F.Family, 8 * Scale, ModeName)
                    << QString(F.Family) << QString(F.SetName) << Scale << Mode;
}

void FontsTest::metricsGiveSquareCells() {
    QFETCH(Rendering, Mode);
    QFETCH(QString, Family);
    QFETCH(int, Scale);
    const int Cell = 8 * Scale;
    const QFontMetrics Metrics(C64Font(Family, Cell, Mode));
    QCOMPARE(Metrics.ascent(), Cell);
    QCOMPARE(Metrics.descent(), 0);
    QCOMPARE(Metrics.height(), Cell);
    QCOMPARE(Metrics.lineSpacing(), Cell);
    QString All;
    for (int Code = 0; Code < 256; ++Code) {
        const QChar Shown = PetsciiText::ToDisplay(static_cast<unsigned char>(Code));
        QVERIFY2(Metrics.inFont(Shown), qPrintable(QString("code %1").arg(Code)));
        QCOMPARE(Metrics.horizontalAdvance(Shown), Cell);
        All += Shown;
    }
    QCOMPARE(Metrics.horizontalAdvance(All), 256 * Cell);
}

void FontsTest::drawTextMatchesGlyphSource() {
    QFETCH(Rendering, Mode);
    QFETCH(QString, Family);
    QFETCH(QString, SetName);
    QFETCH(int, Scale);
    const int Cell = 8 * Scale;
    QImage Chart(CodesPerLine * Cell, 16 * Cell, QImage::Format_RGB32);
    Chart.fill(Paper);
    {
        QPainter Painter(&Chart);
        Painter.setFont(C64Font(Family, Cell, Mode));
        Painter.setPen(QColor(Ink));
        for (int Line = 0; Line < 16; ++Line)
            Painter.drawText(QPoint(0, Line * Cell + Cell), PetsciiText::ToDisplay(LineOfCodes(Line)));
    }
    // A chart for looking at the glyphs by eye (also when a glyph is wrong): KBM_FONTS_CHART=<folder>.
    const QString ChartDir = qEnvironmentVariable("KBM_FONTS_CHART");
    if (!ChartDir.isEmpty())
        Chart.save(QString("%1/%2-%3px.png").arg(ChartDir, QString(SetName).remove('/')).arg(Cell));
    for (int Line = 0; Line < 16; ++Line) {
        const QImage Strip = Chart.copy(0, Line * Cell, Chart.width(), Cell);
        const QString Diff = Difference(Strip, QPoint(0, 0), FSource, SetName, LineOfCodes(Line), Scale);
        QVERIFY2(Diff.isEmpty(), qPrintable(Diff));
    }
}

template <typename TWidget, typename TShow> void FontsTest::checkEveryLine(TShow Show, Placement Where) {
    QFETCH(QString, Family);
    QFETCH(QString, SetName);
    QFETCH(int, Scale);
    QFETCH(Rendering, Mode);
    const int Cell = 8 * Scale;
    const int TextWidth = CodesPerLine * Cell;
    for (int Line = 0; Line < 16; ++Line) {
        const std::string Bytes = LineOfCodes(Line);
        TWidget Widget;
        QPalette Colours = Widget.palette();
        for (auto Role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            Colours.setColor(Role, QColor(Ink));
        for (auto Role : {QPalette::Window, QPalette::Base})
            Colours.setColor(Role, QColor(Paper));
        Widget.setPalette(Colours);
        Widget.setAutoFillBackground(true);
        Widget.setFont(C64Font(Family, Cell, Mode));
        Show(Widget, Bytes, Cell);
        const QImage Shot = Rgb(Widget.grab().toImage());
        // A combo box draws its arrow in the text colour: look for the text left of it.
        const QImage SearchArea =
            Where == Placement::TextInFrame ? Shot.copy(0, 0, TextWidth + 12, Shot.height()) : Shot;
        const auto Origin = TextOrigin(SearchArea, FSource, SetName, Bytes, Scale);
        QVERIFY2(Origin, "no ink in the widget");
        if (Where == Placement::TopLeft) QCOMPARE(*Origin, QPoint(0, 0));
        // Beside a shaded frame only the text's own cells are compared.
        const QString Diff = Where == Placement::TextInFrame
                                 ? Difference(Shot.copy(QRect(*Origin, QSize(TextWidth, Cell))), QPoint(0, 0),
                                              FSource, SetName, Bytes, Scale, true)
                                 : Difference(Shot, *Origin, FSource, SetName, Bytes, Scale);
        QVERIFY2(Diff.isEmpty(), qPrintable(Diff));
    }
}

void FontsTest::labelMatchesGlyphSource() {
    checkEveryLine<QLabel>(
        [](QLabel& Label, const std::string& Bytes, int) {
            Label.setTextFormat(Qt::PlainText);
            Label.setContentsMargins(0, 0, 0, 0);
            Label.setMargin(0);
            Label.setIndent(0);
            Label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
            Label.setText(PetsciiText::ToDisplay(Bytes));
            Label.resize(Label.sizeHint() + QSize(4, 4));
        },
        Placement::TopLeft);
}

void FontsTest::lineEditMatchesGlyphSource() {
    checkEveryLine<QLineEdit>(
        [](QLineEdit& Edit, const std::string& Bytes, int Cell) {
            Edit.setFrame(false);
            Edit.setText(PetsciiText::ToDisplay(Bytes));
            Edit.setCursorPosition(0);
            Edit.resize(CodesPerLine * Cell + 16, Cell + 8);
            QCOMPARE(PetsciiText::FromDisplay(Edit.text()), Bytes);
        },
        Placement::Anywhere);
}

void FontsTest::comboBoxMatchesGlyphSource() {
    checkEveryLine<QComboBox>(
        [](QComboBox& Combo, const std::string& Bytes, int Cell) {
            Combo.addItem(PetsciiText::ToDisplay(Bytes));
            Combo.resize(CodesPerLine * Cell + 60, Cell + 12);
        },
        Placement::TextInFrame);
}

void FontsTest::statusBarMatchesGlyphSource() {
    checkEveryLine<QStatusBar>(
        [](QStatusBar& Bar, const std::string& Bytes, int Cell) {
            Bar.setSizeGripEnabled(false);
            Bar.resize(CodesPerLine * Cell + 40, Cell + 8);
            Bar.showMessage(PetsciiText::ToDisplay(Bytes));
        },
        Placement::Anywhere);
}

QTEST_MAIN(FontsTest)
#include "FontsTest.moc"
