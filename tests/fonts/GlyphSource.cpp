// Reads the glyph source file and applies the C64's code mirrors and reverse video.
#include "GlyphSource.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

GlyphSource::GlyphSource(const QString& Path) {
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly | QIODevice::Text)) {
        FError = "cannot open " + Path;
        return;
    }
    static const QRegularExpression Header(R"(^== (\S+) \$([0-9A-Fa-f]{2})( .*)?$)");
    static const QRegularExpression Row(R"(^[#.]{8}$)");
    QTextStream In(&File);
    Glyph* Current = nullptr;
    int Rows = 0;
    int LineNo = 0;
    while (!In.atEnd()) {
        const QString Line = In.readLine();
        ++LineNo;
        if (Line.isEmpty() || Line == "#" || Line.startsWith("# ")) continue;
        const auto Match = Header.match(Line);
        if (Match.hasMatch()) {
            Current = &FSets[Match.captured(1)][Match.captured(2).toInt(nullptr, 16)];
            Rows = 0;
        } else if (Row.match(Line).hasMatch() && Current && Rows < 8) {
            for (int X = 0; X < 8; ++X)
                (*Current)[Rows][X] = Line[X] == '#';
            ++Rows;
        } else {
            FError = QString("line %1 is neither a header nor a glyph row").arg(LineNo);
            FSets.clear();
            return;
        }
    }
    for (const QString SetName : {"Big/Graphic", "Small/Big"})
        for (int Code = 0x20; Code < 0xE0; ++Code)
            if ((Code < 0x60 || Code >= 0xA0) && !FSets[SetName].count(Code)) {
                FError = QString("%1 lacks code %2").arg(SetName).arg(Code, 2, 16);
                FSets.clear();
                return;
            }
}

GlyphSource::Glyph GlyphSource::Listed(const QString& SetName, unsigned char Code) const {
    const auto Set = FSets.find(SetName);
    if (Set == FSets.end()) return {};
    const auto Found = Set->second.find(Code);
    return Found == Set->second.end() ? Glyph{} : Found->second;
}

GlyphSource::Glyph GlyphSource::Expected(const QString& SetName, unsigned char Code) const {
    auto Reverse = [](Glyph G) {
        for (auto& R : G)
            for (bool& Bit : R)
                Bit = !Bit;
        return G;
    };
    if (Code < 0x20) return Reverse(Listed(SetName, Code + 0x40));
    if (Code >= 0x60 && Code < 0x80) return Listed(SetName, Code + 0x60);
    if (Code >= 0x80 && Code < 0xA0) return Reverse(Listed(SetName, Code + 0x40));
    if (Code == 0xFF) return Listed(SetName, 0xDE);
    if (Code >= 0xE0) return Listed(SetName, Code - 0x40);
    return Listed(SetName, Code);
}
