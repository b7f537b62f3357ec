// The character chart and its dialog as the user meets them: which code a click, drag or
// double click picks, what each face draws in every cell, where the dialog opens and in
// which face, and what lands on the clipboard.
#include "C64CharacterMap.h"
#include "CharacterDlgUnit.h"
#include "GlyphSource.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

QPoint Cell(int Row, int Col) {
    return {Col * 19 + 9, Row * 19 + 9};
}

// Shows the picker through the callers' protocol and runs Steps on it while it is open;
// a dialog the steps leave open is cancelled so a failing test cannot hang.
void RunPicker(IUserPrompts& Prompts, const std::function<void(TCharacterDlg&)>& Steps) {
    QTimer::singleShot(0, [&] {
        auto* Dialog = qobject_cast<TCharacterDlg*>(QApplication::activeModalWidget());
        QVERIFY(Dialog && QTest::qWaitForWindowExposed(Dialog));
        Steps(*Dialog);
        if (Dialog->isVisible()) Dialog->reject();
    });
    TCharacterDlg::PickToClipboard(nullptr, Prompts);
}

} // namespace

class CharacterMapTest : public QObject {
    Q_OBJECT

    GlyphSource Source{KBM_GLYPH_SOURCE};

    // Every cell shows its glyph from the face's source, doubled, ink on paper; the selected
    // code in the highlight colours. Returns the first difference.
    QString ChartDifference(TC64CharacterMap& Map, const QString& SetName, uint8_t Selected) {
        const QImage Shot = Map.grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (int Index = 0; Index < 190; ++Index) {
            const uint8_t Code = TC64CharacterMap::CodeOfCell(Index);
            const bool Lit = Code == Selected;
            const QRgb Ink =
                Map.palette().color(Lit ? QPalette::HighlightedText : QPalette::WindowText).rgb();
            const QRgb Paper = Map.palette().color(Lit ? QPalette::Highlight : QPalette::Button).rgb();
            const QPoint Origin(Index % 19 * 19 + 2, Index / 19 * 19 + 2);
            const auto Glyph = Source.Expected(SetName, Code);
            for (int Y = 0; Y < 16; ++Y)
                for (int X = 0; X < 16; ++X)
                    if (Shot.pixel(Origin + QPoint(X, Y)) != (Glyph[Y / 2][X / 2] ? Ink : Paper))
                        return QString("code %1 pixel (%2,%3)").arg(Code).arg(X).arg(Y);
        }
        return {};
    }

  private slots:
    void initTestCase() {
        QVERIFY2(Source.Error().isEmpty(), qPrintable(Source.Error()));
        for (const char* File : {"CBM64_G.fon", "CBM64_S.fon"})
            QVERIFY(QFontDatabase::addApplicationFont(QString(KBM_FONT_DIR "/") + File) != -1);
    }

    // Runs first: the place and face the process starts with, then what carries over.
    void opensWhereAndHowItWasLastClosed() {
        ScriptedPrompts Prompts;
        RunPicker(Prompts, [](TCharacterDlg& Dialog) {
            QCOMPARE(Dialog.windowTitle(), QString("C64 Characters..."));
            QCOMPARE(Dialog.pos(), QPoint(100, 100));
            QVERIFY(Dialog.Big->isChecked() && !Dialog.bOk->isEnabled());
            Dialog.move(240, 160);
            QTRY_COMPARE(Dialog.pos(), QPoint(240, 160));
            QTest::mouseClick(Dialog.Small, Qt::LeftButton);
            QTest::mouseClick(Dialog.C64CharacterMap1, Qt::LeftButton, {}, Cell(1, 1));
            QTest::keyClick(&Dialog, Qt::Key_Escape); // presses "Cancel"
        });
        RunPicker(Prompts, [](TCharacterDlg& Dialog) {
            QCOMPARE(Dialog.pos(), QPoint(240, 160));
            QVERIFY(Dialog.Small->isChecked() && !Dialog.Big->isChecked());
            QCOMPARE(Dialog.C64CharacterMap1->FaceName(), QString("CBM64 Small/Big"));
            QCOMPARE(Dialog.C64CharacterMap1->SelectedChar(), uint8_t(0)); // empty on every opening
            QTest::mouseClick(Dialog.Big, Qt::LeftButton);
            Dialog.move(300, 50);
            QTRY_COMPARE(Dialog.pos(), QPoint(300, 50));
            Dialog.close(); // the close box remembers nothing
        });
        RunPicker(Prompts, [](TCharacterDlg& Dialog) {
            QCOMPARE(Dialog.pos(), QPoint(240, 160));
            QVERIFY(Dialog.Small->isChecked());
        });
        QVERIFY(Prompts.Shown.isEmpty());
    }

    void hitTestCoversExactlyTheChart() {
        QCOMPARE(TC64CharacterMap::CharAt(360, 189), uint8_t(255));
        for (QPoint Off : {QPoint(361, 5), QPoint(5, 190), QPoint(5, 192), QPoint(-1, 5), QPoint(5, -1)})
            QCOMPARE(TC64CharacterMap::CharAt(Off.x(), Off.y()), uint8_t(0));
        // Reading order runs 33..127, then 161..255; the glyph sits 2 pixels into its cell.
        QList<int> Codes;
        for (int Row = 0; Row < 10; ++Row)
            for (int Col = 0; Col < 19; ++Col) {
                Codes.append(TC64CharacterMap::CharAt(Col * 19, Row * 19 + 18));
                QCOMPARE(TC64CharacterMap::GlyphOrigin(Codes.last()), QPoint(Col * 19 + 2, Row * 19 + 2));
            }
        QList<int> Expected;
        for (int Code = 33; Code < 256; ++Code)
            if (Code <= 127 || Code >= 161) Expected.append(Code);
        QCOMPARE(Codes, Expected);
        QCOMPARE(TC64CharacterMap::GlyphOrigin(160), QPoint(-1, -1));
    }

    void clickDragAndDoubleClickSelectInEitherFace() {
        TC64CharacterMap Map;
        QCOMPARE(Map.size(), QSize(362, 191));
        Map.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Map));
        QSignalSpy Clicks(&Map, &TC64CharacterMap::Click);
        QSignalSpy DoubleClicks(&Map, &TC64CharacterMap::DblClick);
        QTest::mouseClick(&Map, Qt::LeftButton, {}, Cell(4, 18));
        QCOMPARE(Map.SelectedChar(), uint8_t(127));
        QTest::mouseClick(&Map, Qt::LeftButton, {}, QPoint(100, 190)); // the closing edge
        QCOMPARE(Map.SelectedChar(), uint8_t(127));
        QCOMPARE(Clicks.count(), 2);

        // Dragging moves the selection with the pointer; leaving the chart keeps the last one.
        QTest::mousePress(&Map, Qt::LeftButton, {}, Cell(0, 0));
        QCOMPARE(Map.SelectedChar(), uint8_t(33));
        QTest::mouseMove(&Map, Cell(5, 0));
        QTest::mouseMove(&Map, Cell(9, 18));
        QTest::mouseMove(&Map, QPoint(400, 250));
        QTest::mouseRelease(&Map, Qt::LeftButton, {}, QPoint(400, 250));
        QCOMPARE(Map.SelectedChar(), uint8_t(255));
        QCOMPARE(Clicks.count(), 2); // released outside the chart
        // Both faces draw every cell; the selection keeps its highlight across the switch.
        QCOMPARE(ChartDifference(Map, "Big/Graphic", 255), QString());
        Map.UseSmallBigFont();
        QCOMPARE(ChartDifference(Map, "Small/Big", 255), QString());

        QTest::mouseClick(&Map, Qt::LeftButton, {}, Cell(5, 0));
        QTest::mouseDClick(&Map, Qt::LeftButton, {}, Cell(5, 0));
        QTest::mouseRelease(&Map, Qt::LeftButton, {}, Cell(5, 0));
        QCOMPARE(Map.SelectedChar(), uint8_t(161));
        QCOMPARE(DoubleClicks.count(), 1);
        QCOMPARE(Clicks.count(), 3); // the double click's own release is no further click
    }

    void confirmedCharacterGoesToClipboardAsLatin1() {
        ScriptedPrompts Prompts;
        // 173 is a control code to Qt's text layer, yet the clipboard gets its Latin-1 character.
        RunPicker(Prompts, [](TCharacterDlg& Dialog) {
            QTest::mouseClick(Dialog.C64CharacterMap1, Qt::LeftButton, {}, Cell(5, 12));
            QVERIFY(Dialog.bOk->isEnabled());
            QTest::keyClick(&Dialog, Qt::Key_Return);
        });
        RunPicker(Prompts, [](TCharacterDlg& Dialog) {
            QTest::mouseClick(Dialog.C64CharacterMap1, Qt::LeftButton, {}, Cell(0, 0));
            QTest::mouseDClick(Dialog.C64CharacterMap1, Qt::LeftButton, {}, Cell(0, 0));
        });
        // Confirmed with nothing selected: the clipboard keeps what it held.
        RunPicker(Prompts, [](TCharacterDlg& Dialog) {
            QTest::mouseClick(Dialog.C64CharacterMap1, Qt::LeftButton, {}, QPoint(40, 192));
            QTest::mouseClick(Dialog.bOk, Qt::LeftButton);
            QVERIFY(!Dialog.isVisible());
        });
        QCOMPARE(Prompts.Texts(ScriptedPrompts::TKind::Clipboard), (QStringList{QChar(0xAD), "!"}));
    }
};

QTEST_MAIN(CharacterMapTest)
#include "CharacterMapTest.moc"
