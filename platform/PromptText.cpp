// Conversions from the program's Windows-style message and filter texts to Qt's.
#include "PromptText.h"

#include <QStringList>

namespace PromptText {

QString ToDisplayText(const QString& Text) {
    QString Shown;
    Shown.reserve(Text.size());
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const QChar c = Text[i];
        if (c == u'\r' && i + 1 < Text.size() && Text[i + 1] == u'\n') continue; // the '\n' follows
        if (c == u'&') {
            // "&&" is a literal ampersand; a single one only marks the next character.
            if (i + 1 < Text.size() && Text[i + 1] == u'&') {
                Shown.append(u'&');
                ++i;
            }
            continue;
        }
        Shown.append(c);
    }
    return Shown;
}

QString ToQtFilter(const QString& Filter) {
    const QStringList Parts = Filter.split(u'|');
    QStringList Filters;
    for (qsizetype i = 0; i + 1 < Parts.size(); i += 2) {
        const QString Description = Parts[i].trimmed();
        // Qt reads the patterns from the parentheses; Windows lists them with ';'.
        QString Patterns = Parts[i + 1].trimmed();
        Patterns.replace(u';', u' ');
        if (Patterns.isEmpty()) continue;
        // Qt takes the patterns from the trailing parentheses of the description.
        if (Description.endsWith(QStringLiteral("(%1)").arg(Patterns)))
            Filters.append(Description);
        else if (Description.isEmpty())
            Filters.append(QStringLiteral("(%1)").arg(Patterns));
        else
            Filters.append(QStringLiteral("%1 (%2)").arg(Description, Patterns));
    }
    return Filters.join(QStringLiteral(";;"));
}

} // namespace PromptText
