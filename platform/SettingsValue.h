// The type rules shared by every settings store: how a stored QVariant is read as an
// integer, a string or binary data, and the error for a value of the wrong type.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace SettingsValue {

// An int-like number in the int range, or a string that is wholly a decimal integer
// ("-12"; no blanks, no "0x", no fraction). Raises ESettingsTypeError otherwise.
int ToInteger(const QString& Name, const QVariant& Value);
// A string, or a number as its decimal text. Raises ESettingsTypeError otherwise.
QString ToString(const QString& Name, const QVariant& Value);
// Binary data of any length. Raises ESettingsTypeError for every other type.
QByteArray ToBinary(const QString& Name, const QVariant& Value);

} // namespace SettingsValue
