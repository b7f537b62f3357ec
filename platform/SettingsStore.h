// The per-user key/value store that stands in for the registry key
// Software\Halvorsteen\Kobaltmandrexis. Reads raise ESettingsTypeError for a value
// stored with the wrong type.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <stdexcept>

class ESettingsTypeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class ISettingsStore {
  public:
    virtual ~ISettingsStore() = default;
    virtual std::optional<int> ReadInteger(const QString& Name) = 0;  // REG_DWORD
    virtual std::optional<QString> ReadString(const QString& Name) = 0; // REG_SZ
    virtual std::optional<QByteArray> ReadBinary(const QString& Name) = 0; // REG_BINARY
    virtual void WriteInteger(const QString& Name, int Value) = 0;
    virtual void WriteString(const QString& Name, const QString& Value) = 0;
    virtual void WriteBinary(const QString& Name, const QByteArray& Value) = 0;
};
