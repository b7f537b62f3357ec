// Type checks for values read from a settings store.
#include "SettingsValue.h"

#include "SettingsStore.h"

#include <limits>

namespace SettingsValue {

namespace {

[[noreturn]] void RaiseTypeError(const QString& Name) {
    throw ESettingsTypeError(
        QStringLiteral("Invalid registry data type for value \"%1\"").arg(Name).toStdString());
}

bool IsIntegerType(const QVariant& Value) {
    switch (Value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool IsDecimalText(const QString& Text) {
    qsizetype i = (Text.startsWith(u'-') || Text.startsWith(u'+')) ? 1 : 0;
    if (i == Text.size()) return false;
    for (; i < Text.size(); ++i)
        if (Text[i] < u'0' || Text[i] > u'9') return false;
    return true;
}

} // namespace

int ToInteger(const QString& Name, const QVariant& Value) {
    if (IsIntegerType(Value)) {
        if (Value.typeId() == QMetaType::ULongLong) {
            const qulonglong Number = Value.toULongLong();
            if (Number > static_cast<qulonglong>(std::numeric_limits<int>::max())) RaiseTypeError(Name);
            return static_cast<int>(Number);
        }
        const qlonglong Number = Value.toLongLong();
        if (Number < std::numeric_limits<int>::min() || Number > std::numeric_limits<int>::max())
            RaiseTypeError(Name);
        return static_cast<int>(Number);
    }
    if (Value.typeId() == QMetaType::QString) {
        const QString Text = Value.toString();
        bool Ok = false;
        const int Number = Text.toInt(&Ok, 10);
        if (IsDecimalText(Text) && Ok) return Number;
    }
    RaiseTypeError(Name);
}

QString ToString(const QString& Name, const QVariant& Value) {
    if (Value.typeId() == QMetaType::QString) return Value.toString();
    if (IsIntegerType(Value)) return Value.toString();
    RaiseTypeError(Name);
}

QByteArray ToBinary(const QString& Name, const QVariant& Value) {
    if (Value.typeId() == QMetaType::QByteArray) return Value.toByteArray();
    RaiseTypeError(Name);
}

} // namespace SettingsValue
