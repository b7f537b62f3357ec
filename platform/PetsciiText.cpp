// Byte <-> display character mapping for the C64 fonts.
#include "PetsciiText.h"

namespace PetsciiText {

bool IsQtControl(unsigned char Byte) { return Byte < 0x20 || (Byte >= 0x7F && Byte <= 0x9F) || Byte == 0xAD; }

QChar ToDisplay(unsigned char Byte) {
    return IsQtControl(Byte) ? QChar(static_cast<char16_t>(0xE000 + Byte)) : QChar(static_cast<char16_t>(Byte));
}

QString ToDisplay(std::string_view Bytes) {
    QString Text;
    Text.reserve(static_cast<qsizetype>(Bytes.size()));
    for (char c : Bytes) Text.append(ToDisplay(static_cast<unsigned char>(c)));
    return Text;
}

std::string FromDisplay(const QString& Text) {
    std::string Bytes;
    Bytes.reserve(static_cast<size_t>(Text.size()));
    for (QChar c : Text) {
        const char16_t u = c.unicode();
        if (u <= 0xFF)
            Bytes.push_back(static_cast<char>(u));
        else if (u >= 0xE000 && u <= 0xE0FF)
            Bytes.push_back(static_cast<char>(u - 0xE000));
    }
    return Bytes;
}

QFont C64Font(const QString& Face) {
    QFont Font(Face);
    Font.setPixelSize(8);
    Font.setStyleStrategy(QFont::NoAntialias);
    Font.setHintingPreference(QFont::PreferNoHinting);
    return Font;
}

} // namespace PetsciiText
