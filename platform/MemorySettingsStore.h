// In-memory ISettingsStore for tests: values of any QVariant type can be planted and
// are read with the same type rules as the real store.
#pragma once

#include "SettingsStore.h"

#include <QMap>
#include <QVariant>

class MemorySettingsStore : public ISettingsStore {
  public:
    // Name -> stored value; tests plant and inspect values here directly.
    QMap<QString, QVariant> Values;

    std::optional<int> ReadInteger(const QString& Name) override;
    std::optional<QString> ReadString(const QString& Name) override;
    std::optional<QByteArray> ReadBinary(const QString& Name) override;
    void WriteInteger(const QString& Name, int Value) override;
    void WriteString(const QString& Name, const QString& Value) override;
    void WriteBinary(const QString& Name, const QByteArray& Value) override;
};
