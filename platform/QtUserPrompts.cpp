// Message boxes, file dialogs and the clipboard through Qt.
#include "QtUserPrompts.h"

#include "PromptText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>

namespace {

// Boxes are modal to whatever window is active, like a message box of the process.
int RunBox(const QString& Caption, QMessageBox::Icon Icon, const QString& Text,
           QMessageBox::StandardButtons Buttons, QMessageBox::StandardButton Default,
           QMessageBox::StandardButton Escape) {
    QMessageBox Box(Icon, Caption, PromptText::ToDisplayText(Text), Buttons, QApplication::activeWindow());
    // File and disk names are shown as they are, never taken for markup.
    Box.setTextFormat(Qt::PlainText);
    if (Default != QMessageBox::NoButton) Box.setDefaultButton(Default);
    if (Escape != QMessageBox::NoButton) Box.setEscapeButton(Escape);
    if (QAbstractButton* All = Box.button(QMessageBox::YesToAll)) All->setText(QStringLiteral("All"));
    return Box.exec();
}

} // namespace

QtUserPrompts::QtUserPrompts(const QString& Caption) : FCaption(Caption) {}

QString QtUserPrompts::Caption() const {
    return FCaption.isEmpty() ? QCoreApplication::applicationName() : FCaption;
}

void QtUserPrompts::ShowMessage(const QString& Text) {
    RunBox(Caption(), QMessageBox::NoIcon, Text, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

void QtUserPrompts::ShowWarning(const QString& Text) {
    RunBox(Caption(), QMessageBox::Warning, Text, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

void QtUserPrompts::ShowError(const QString& Text) {
    RunBox(Caption(), QMessageBox::Critical, Text, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtUserPrompts::AskYesNo(const QString& Text, bool DefaultNo) {
    // Closing the box counts as No, so only an explicit Yes goes on.
    return RunBox(Caption(), QMessageBox::Warning, Text, QMessageBox::Yes | QMessageBox::No,
                  DefaultNo ? QMessageBox::No : QMessageBox::Yes, QMessageBox::No) == QMessageBox::Yes;
}

IUserPrompts::TAnswer QtUserPrompts::AskYesNoAll(const QString& Text) {
    switch (RunBox(Caption(), QMessageBox::Question, Text,
                   QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll, QMessageBox::Yes,
                   QMessageBox::No)) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::YesToAll:
        return TAnswer::All;
    default:
        return TAnswer::No;
    }
}

QString QtUserPrompts::GetOpenFileName(QWidget* Parent, const QString& InitialDir, const QString& Filter) {
    return QFileDialog::getOpenFileName(Parent, QString(), InitialDir, PromptText::ToQtFilter(Filter));
}

QString QtUserPrompts::GetSaveFileName(QWidget* Parent, const QString& InitialPath, const QString& Filter,
                                       const QString& Title, const QString& DefaultExt) {
    QFileDialog Dialog(Parent, Title, InitialPath, PromptText::ToQtFilter(Filter));
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setFileMode(QFileDialog::AnyFile);
    Dialog.setDefaultSuffix(DefaultExt);
    // The commands ask about an existing file themselves, in their own words.
    Dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return {};
    return Dialog.selectedFiles().constFirst();
}

QString QtUserPrompts::GetExistingDirectory(QWidget* Parent, const QString& Title) {
    return QFileDialog::getExistingDirectory(Parent, PromptText::ToDisplayText(Title));
}

void QtUserPrompts::SetClipboardText(const QString& Text) {
    QApplication::clipboard()->setText(Text);
}
