// Text conversions for the real message boxes and file dialogs: the program's texts
// follow the Windows conventions ("\r\n" line breaks, "&" accelerator prefixes,
// "description|pattern" filter lists); Qt wants its own forms.
#pragma once

#include <QString>

namespace PromptText {

// Text as a message box shows it: "\r\n" becomes "\n", "&&" becomes "&" and a lone "&"
// (an accelerator prefix) is dropped.
QString ToDisplayText(const QString& Text);

// "C64 Diskimage (*.d64)|*.d64|All Files (*.*)|*.*" becomes
// "C64 Diskimage (*.d64);;All Files (*.*)". A description that does not end with its
// patterns in parentheses gets them appended, since Qt filters by those; several
// patterns ("*.prg;*.p00") become one space-separated list.
QString ToQtFilter(const QString& Filter);

} // namespace PromptText
