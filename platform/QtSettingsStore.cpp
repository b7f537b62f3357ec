// The per-user settings through QSettings.
#include "QtSettingsStore.h"

#include "SettingsValue.h"

QtSettingsStore::QtSettingsStore()
    : FSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Halvorsteen"),
                QStringLiteral("Kobaltmandrexis")) {}

QtSettingsStore::QtSettingsStore(const QString& FilePath) : FSettings(FilePath, QSettings::IniFormat) {}

std::optional<int> QtSettingsStore::ReadInteger(const QString& Name) {
    if (!FSettings.contains(Name)) return std::nullopt;
    return SettingsValue::ToInteger(Name, FSettings.value(Name));
}

std::optional<QString> QtSettingsStore::ReadString(const QString& Name) {
    if (!FSettings.contains(Name)) return std::nullopt;
    return SettingsValue::ToString(Name, FSettings.value(Name));
}

std::optional<QByteArray> QtSettingsStore::ReadBinary(const QString& Name) {
    if (!FSettings.contains(Name)) return std::nullopt;
    return SettingsValue::ToBinary(Name, FSettings.value(Name));
}

void QtSettingsStore::WriteInteger(const QString& Name, int Value) {
    Write(Name, Value);
}

void QtSettingsStore::WriteString(const QString& Name, const QString& Value) {
    Write(Name, Value);
}

void QtSettingsStore::WriteBinary(const QString& Name, const QByteArray& Value) {
    Write(Name, Value);
}

void QtSettingsStore::Write(const QString& Name, const QVariant& Value) {
    FSettings.setValue(Name, Value);
    // Written through at once, so the values are on disk however the process ends. A
    // store that cannot be written is left alone: the settings are simply not kept.
    FSettings.sync();
}
