// ISettingsStore over QSettings: organisation "Halvorsteen", application
// "Kobaltmandrexis" (the registry key Software\Halvorsteen\Kobaltmandrexis on Windows,
// ~/.config/Halvorsteen/Kobaltmandrexis.conf on Linux), or an INI file of the caller's.
#pragma once

#include "SettingsStore.h"

#include <QSettings>

class QtSettingsStore : public ISettingsStore {
  public:
    QtSettingsStore();
    // An INI file at FilePath instead of the per-user store; used by tests.
    explicit QtSettingsStore(const QString& FilePath);

    std::optional<int> ReadInteger(const QString& Name) override;
    std::optional<QString> ReadString(const QString& Name) override;
    std::optional<QByteArray> ReadBinary(const QString& Name) override;
    void WriteInteger(const QString& Name, int Value) override;
    void WriteString(const QString& Name, const QString& Value) override;
    void WriteBinary(const QString& Name, const QByteArray& Value) override;

  private:
    void Write(const QString& Name, const QVariant& Value);

    QSettings FSettings;
};
