// The scripted prompts used by the window and dialog tests.
#include "ScriptedPrompts.h"

#include <QtGlobal>

namespace {

template <typename T> bool Take(std::deque<T>& Queue, T& Answer) {
    if (Queue.empty()) return false;
    Answer = Queue.front();
    Queue.pop_front();
    return true;
}

} // namespace

QStringList ScriptedPrompts::Texts(TKind Kind) const {
    QStringList Result;
    for (const TShown& Item : Shown)
        if (Item.Kind == Kind) Result.append(Item.Text);
    return Result;
}

void ScriptedPrompts::Clear() {
    YesNoAnswers.clear();
    YesNoAllAnswers.clear();
    OpenFileNames.clear();
    SaveFileNames.clear();
    FolderNames.clear();
    SameNameAnswers.clear();
    OpenFileLists.clear();
    Shown.clear();
    Unexpected.clear();
    ClipboardText.clear();
}

void ScriptedPrompts::NoAnswer(const char* What, const QString& Text) {
    const QString Entry = QStringLiteral("%1: %2").arg(QLatin1String(What), Text);
    Unexpected.append(Entry);
    qWarning("ScriptedPrompts: no answer queued for %s", qUtf8Printable(Entry));
}

void ScriptedPrompts::ShowMessage(const QString& Text) {
    Shown.append({TKind::Message, Text, {}, {}});
}

void ScriptedPrompts::ShowWarning(const QString& Text) {
    Shown.append({TKind::Warning, Text, {}, {}});
}

void ScriptedPrompts::ShowError(const QString& Text) {
    Shown.append({TKind::Error, Text, {}, {}});
}

bool ScriptedPrompts::AskYesNo(const QString& Text, bool DefaultNo) {
    Shown.append({TKind::YesNo, Text, {}, {}, DefaultNo});
    bool Answer = false;
    if (!Take(YesNoAnswers, Answer)) NoAnswer("AskYesNo", Text);
    return Answer;
}

IUserPrompts::TAnswer ScriptedPrompts::AskYesNoAll(const QString& Text) {
    Shown.append({TKind::YesNoAll, Text, {}, {}});
    TAnswer Answer = TAnswer::No;
    if (!Take(YesNoAllAnswers, Answer)) NoAnswer("AskYesNoAll", Text);
    return Answer;
}

QString ScriptedPrompts::GetOpenFileName(QWidget*, const QString& InitialDir, const QString& Filter,
                                         const TOpenFileOptions& Options) {
    Shown.append({TKind::OpenFile, Options.Title, InitialDir, Filter, false, {}, Options.ProgramsOnly});
    QString Answer;
    if (!Take(OpenFileNames, Answer)) NoAnswer("GetOpenFileName", Filter);
    return Answer;
}

QString ScriptedPrompts::GetSaveFileName(QWidget*, const QString& InitialPath, const QString& Filter,
                                         const QString& Title, const QString& DefaultExt) {
    Shown.append({TKind::SaveFile, Title, InitialPath, Filter, false, DefaultExt});
    QString Answer;
    if (!Take(SaveFileNames, Answer)) NoAnswer("GetSaveFileName", InitialPath);
    return Answer;
}

QString ScriptedPrompts::GetExistingDirectory(QWidget*, const QString& Title) {
    Shown.append({TKind::Folder, Title, {}, {}});
    QString Answer;
    if (!Take(FolderNames, Answer)) NoAnswer("GetExistingDirectory", Title);
    return Answer;
}

void ScriptedPrompts::SetClipboardText(const QString& Text) {
    Shown.append({TKind::Clipboard, Text, {}, {}});
    ClipboardText = Text;
}

IUserPrompts::TSameNameAnswer ScriptedPrompts::AskSameName(const QString& Text, bool& ForAll) {
    Shown.append({TKind::SameName, Text, {}, {}});
    std::pair<TSameNameAnswer, bool> Answer{TSameNameAnswer::Skip, false};
    if (!Take(SameNameAnswers, Answer)) NoAnswer("AskSameName", Text);
    ForAll = Answer.second;
    return Answer.first;
}

QStringList ScriptedPrompts::GetOpenFileNames(QWidget*, const QString& InitialDir, const QString& Filter,
                                              const QString& Title) {
    Shown.append({TKind::OpenFiles, Title, InitialDir, Filter});
    QStringList Answer;
    if (!Take(OpenFileLists, Answer)) NoAnswer("GetOpenFileNames", Filter);
    return Answer;
}
