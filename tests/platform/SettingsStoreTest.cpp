// The settings stores: values written and read back through an INI file, the type
// rules shared by both stores, and missing values.
#include "MemorySettingsStore.h"
#include "QtSettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

// The message of the ESettingsTypeError raised by Read, or an empty string.
QString TypeErrorOf(const std::function<void()>& Read) {
    try {
        Read();
    } catch (const ESettingsTypeError& Error) {
        return QString::fromStdString(Error.what());
    }
    return {};
}

QString Expected(const QString& Name) {
    return QStringLiteral("Invalid registry data type for value \"%1\"").arg(Name);
}

} // namespace

class SettingsStoreTest : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;

    QString WriteIni(const QByteArray& Text) {
        const QString Path = FDir.filePath(QStringLiteral("hand.ini"));
        QFile File(Path);
        if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
        File.write(Text);
        return Path;
    }

  private slots:
    void WrittenValuesReadBackFromTheFile() {
        const QString Path = FDir.filePath(QStringLiteral("written.ini"));
        {
            QtSettingsStore Store(Path);
            Store.WriteInteger("X", -50);
            Store.WriteInteger("Width", 1024);
            Store.WriteString("CCS64", "C:\\Emulators\\CCS64, v3\\ccs64.exe");
            Store.WriteString("Empty", "");
            Store.WriteBinary("Emulator", QByteArray("\x02\x00", 2));
        }
        QtSettingsStore Store(Path);
        QCOMPARE(Store.ReadInteger("X"), std::optional<int>(-50));
        QCOMPARE(Store.ReadInteger("Width"), std::optional<int>(1024));
        QCOMPARE(Store.ReadString("CCS64"), std::optional<QString>("C:\\Emulators\\CCS64, v3\\ccs64.exe"));
        QCOMPARE(Store.ReadString("Empty"), std::optional<QString>(""));
        QCOMPARE(Store.ReadBinary("Emulator"), std::optional<QByteArray>(QByteArray("\x02\x00", 2)));
        // A number may be read as its text.
        QCOMPARE(Store.ReadString("Width"), std::optional<QString>("1024"));
    }

    void MissingValuesAreNotErrors() {
        QtSettingsStore Store(FDir.filePath(QStringLiteral("absent.ini")));
        QVERIFY(!Store.ReadInteger("Max").has_value());
        QVERIFY(!Store.ReadString("Frodo").has_value());
        QVERIFY(!Store.ReadBinary("Emulator").has_value());
        MemorySettingsStore Memory;
        QVERIFY(!Memory.ReadInteger("Max").has_value());
        QVERIFY(!Memory.ReadString("Frodo").has_value());
        QVERIFY(!Memory.ReadBinary("Emulator").has_value());
    }

    void WrongTypesInTheFileRaise() {
        const QString Path = FDir.filePath(QStringLiteral("types.ini"));
        {
            QtSettingsStore Store(Path);
            Store.WriteString("CCS64", "ccs64.exe");
            Store.WriteInteger("Height", 480);
            Store.WriteBinary("Emulator", QByteArray(1, '\x01'));
        }
        QtSettingsStore Store(Path);
        QCOMPARE(TypeErrorOf([&] { Store.ReadInteger("CCS64"); }), Expected("CCS64"));
        QCOMPARE(TypeErrorOf([&] { Store.ReadBinary("Height"); }), Expected("Height"));
        QCOMPARE(TypeErrorOf([&] { Store.ReadBinary("CCS64"); }), Expected("CCS64"));
        QCOMPARE(TypeErrorOf([&] { Store.ReadInteger("Emulator"); }), Expected("Emulator"));
        QCOMPARE(TypeErrorOf([&] { Store.ReadString("Emulator"); }), Expected("Emulator"));
    }

    void HandEditedFileFollowsTheSameRules() {
        QtSettingsStore Store(WriteIni("[General]\nMax=true\nX=12abc\nY=+7\nWidth= 800 \nFrodo=a, b\n"
                                       "Height=99999999999\nEmulator=@ByteArray(\\x2\\0\\0\\0\\0\\0)\n"));
        QCOMPARE(TypeErrorOf([&] { Store.ReadInteger("Max"); }), Expected("Max"));
        QCOMPARE(TypeErrorOf([&] { Store.ReadInteger("X"); }), Expected("X"));
        QCOMPARE(Store.ReadInteger("Y"), std::optional<int>(7));
        QCOMPARE(Store.ReadInteger("Width"), std::optional<int>(800));
        QCOMPARE(TypeErrorOf([&] { Store.ReadInteger("Height"); }), Expected("Height"));
        // An unquoted comma makes a list, which is no string.
        QCOMPARE(TypeErrorOf([&] { Store.ReadString("Frodo"); }), Expected("Frodo"));
        // Binary data of any length is handed over; its size is the reader's business.
        QCOMPARE(Store.ReadBinary("Emulator")->size(), 6);
    }

    void IntegerRules_data() {
        QTest::addColumn<QVariant>("Stored");
        QTest::addColumn<bool>("Accepted");
        QTest::addColumn<int>("Value");
        QTest::newRow("int") << QVariant(-640) << true << -640;
        QTest::newRow("uint") << QVariant(7u) << true << 7;
        QTest::newRow("long long in range") << QVariant(qlonglong(2147483647)) << true << 2147483647;
        QTest::newRow("long long too big") << QVariant(qlonglong(2147483648LL)) << false << 0;
        QTest::newRow("unsigned long long too big") << QVariant(qulonglong(1ULL << 40)) << false << 0;
        QTest::newRow("decimal text") << QVariant("-2147483648") << true << int(-2147483647 - 1);
        QTest::newRow("text too big") << QVariant("2147483648") << false << 0;
        QTest::newRow("hex text") << QVariant("0x10") << false << 0;
        QTest::newRow("fraction text") << QVariant("1.0") << false << 0;
        QTest::newRow("blank inside") << QVariant("1 0") << false << 0;
        QTest::newRow("sign only") << QVariant("-") << false << 0;
        QTest::newRow("empty text") << QVariant("") << false << 0;
        QTest::newRow("bool") << QVariant(true) << false << 0;
        QTest::newRow("double") << QVariant(2.0) << false << 0;
        QTest::newRow("bytes") << QVariant(QByteArray("\x01\x00\x00\x00", 4)) << false << 0;
    }
    void IntegerRules() {
        QFETCH(QVariant, Stored);
        QFETCH(bool, Accepted);
        QFETCH(int, Value);
        MemorySettingsStore Store;
        Store.Values.insert("Max", Stored);
        if (Accepted)
            QCOMPARE(Store.ReadInteger("Max"), std::optional<int>(Value));
        else
            QCOMPARE(TypeErrorOf([&] { Store.ReadInteger("Max"); }), Expected("Max"));
    }

    void StringAndBinaryRules() {
        MemorySettingsStore Store;
        Store.Values.insert("Text", QString("C:\\ccs64.exe"));
        Store.Values.insert("Number", 42);
        Store.Values.insert("Flag", true);
        Store.Values.insert("Bytes", QByteArray("\x03\x00\x00\x00\x00", 5));
        QCOMPARE(Store.ReadString("Text"), std::optional<QString>("C:\\ccs64.exe"));
        QCOMPARE(Store.ReadString("Number"), std::optional<QString>("42"));
        QCOMPARE(TypeErrorOf([&] { Store.ReadString("Flag"); }), Expected("Flag"));
        QCOMPARE(TypeErrorOf([&] { Store.ReadString("Bytes"); }), Expected("Bytes"));
        QCOMPARE(Store.ReadBinary("Bytes"), std::optional<QByteArray>(QByteArray("\x03\x00\x00\x00\x00", 5)));
        QCOMPARE(TypeErrorOf([&] { Store.ReadBinary("Text"); }), Expected("Text"));
        QCOMPARE(TypeErrorOf([&] { Store.ReadBinary("Number"); }), Expected("Number"));
    }
};

QTEST_MAIN(SettingsStoreTest)
#include "SettingsStoreTest.moc"
