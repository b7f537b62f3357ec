// TRowRecordList: growth, neutral answers out of range, clearing and counting.
#include "D64StringGridList.h"

#include <QTest>

class RowRecordListTest : public QObject {
    Q_OBJECT

  private slots:
    void newListAnswersNeutrally() {
        TRowRecordList List;
        QCOMPARE(List.Count(), 0);
        QVERIFY(!List.IsSelected(0));
        QCOMPARE(List.GetEntry(0), nullptr);
        QCOMPARE(List.SelectedCount(), 0);
        uint8_t Byte = 0;
        TRowRecord Out{&Byte, true};
        List.GetRecord(0, Out);
        QCOMPARE(Out.Entry, &Byte); // left untouched
        QVERIFY(Out.Selected);
    }

    void growingAddsBlankRecordsAndKeepsOldOnes() {
        TRowRecordList List;
        List.SetCount(2);
        QCOMPARE(List.Count(), 2);
        for (int Index = 0; Index < 2; ++Index) {
            TRowRecord Out{nullptr, true};
            List.GetRecord(Index, Out);
            QCOMPARE(Out.Entry, nullptr);
            QVERIFY(!Out.Selected);
        }
        QCOMPARE(List.SelectedCount(), 0);

        uint8_t Entry[32] = {};
        List.SetRecord(1, TRowRecord{Entry, true});
        List.SetCount(2);
        QCOMPARE(List.GetEntry(1), Entry);
        QVERIFY(List.IsSelected(1));

        List.SetCount(5);
        QCOMPARE(List.Count(), 5);
        QCOMPARE(List.GetEntry(1), Entry);
        QVERIFY(List.IsSelected(1));
        QCOMPARE(List.GetEntry(4), nullptr);
        QVERIFY(!List.IsSelected(4));

        // Only Clear makes the list smaller.
        List.SetCount(1);
        QCOMPARE(List.Count(), 5);
        QVERIFY(List.IsSelected(1));
    }

    void fieldsAreSetIndependently() {
        TRowRecordList List;
        List.SetCount(3);
        uint8_t Entry[32] = {};
        List.SetEntry(2, Entry);
        List.SetSelected(2, true);
        List.SetEntry(2, nullptr);
        QVERIFY(List.IsSelected(2));
        List.SetEntry(2, Entry);
        List.SetSelected(2, false);
        QCOMPARE(List.GetEntry(2), Entry);
        TRowRecord Out;
        List.GetRecord(2, Out);
        QCOMPARE(Out.Entry, Entry);
        QVERIFY(!Out.Selected);
    }

    void indexBeyondCountChangesNothing() {
        TRowRecordList List;
        List.SetCount(3);
        uint8_t Entry[32] = {};
        List.SetSelected(5, true);
        List.SetEntry(5, Entry);
        List.SetRecord(3, TRowRecord{Entry, true});
        QCOMPARE(List.Count(), 3);
        QVERIFY(!List.IsSelected(5));
        QVERIFY(!List.IsSelected(3));
        QCOMPARE(List.GetEntry(5), nullptr);
        QCOMPARE(List.GetEntry(3), nullptr);
        QCOMPARE(List.SelectedCount(), 0);
    }

    void clearThenCountTwoGivesBlankRows() {
        TRowRecordList List;
        List.SetCount(6);
        uint8_t Entry[32] = {};
        for (int Index = 1; Index < 6; ++Index) {
            List.SetEntry(Index, Entry);
            List.SetSelected(Index, true);
        }
        List.Clear();
        QCOMPARE(List.Count(), 0);
        QVERIFY(!List.IsSelected(1));
        List.SetCount(2);
        QCOMPARE(List.SelectedCount(), 0);
        QCOMPARE(List.GetEntry(0), nullptr);
        QCOMPARE(List.GetEntry(1), nullptr);
    }

    void selectedCountMatchesFlags_data() {
        QTest::addColumn<QList<int>>("Selected");
        QTest::newRow("none") << QList<int>{};
        QTest::newRow("header only") << QList<int>{0};
        QTest::newRow("first and last") << QList<int>{1, 9};
        QTest::newRow("scattered, one twice") << QList<int>{2, 3, 7, 3};
    }

    void selectedCountMatchesFlags() {
        QFETCH(QList<int>, Selected);
        TRowRecordList List;
        List.SetCount(10);
        for (int Index : Selected)
            List.SetSelected(Index, true);
        int Flagged = 0;
        for (int Index = 0; Index < List.Count(); ++Index)
            Flagged += List.IsSelected(Index) ? 1 : 0;
        QCOMPARE(List.SelectedCount(), Flagged);
        QCOMPARE(Flagged, int(QSet<int>(Selected.begin(), Selected.end()).size()));
    }
};

QTEST_APPLESS_MAIN(RowRecordListTest)
#include "RowRecordListTest.moc"
