// The settings double kept in a map.
#include "MemorySettingsStore.h"

#include "SettingsValue.h"

std::optional<int> MemorySettingsStore::ReadInteger(const QString& Name) {
    const auto It = Values.constFind(Name);
    if (It == Values.constEnd()) return std::nullopt;
    return SettingsValue::ToInteger(Name, *It);
}

std::optional<QString> MemorySettingsStore::ReadString(const QString& Name) {
    const auto It = Values.constFind(Name);
    if (It == Values.constEnd()) return std::nullopt;
    return SettingsValue::ToString(Name, *It);
}

std::optional<QByteArray> MemorySettingsStore::ReadBinary(const QString& Name) {
    const auto It = Values.constFind(Name);
    if (It == Values.constEnd()) return std::nullopt;
    return SettingsValue::ToBinary(Name, *It);
}

void MemorySettingsStore::WriteInteger(const QString& Name, int Value) {
    Values.insert(Name, Value);
}

void MemorySettingsStore::WriteString(const QString& Name, const QString& Value) {
    Values.insert(Name, Value);
}

void MemorySettingsStore::WriteBinary(const QString& Name, const QByteArray& Value) {
    Values.insert(Name, Value);
}
