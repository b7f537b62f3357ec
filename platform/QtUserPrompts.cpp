// Message boxes, file dialogs and the clipboard through Qt.
#include "QtUserPrompts.h"

#include "PromptText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <cstdio>

namespace {

// Shows the folders and the files the user may run; name patterns say nothing here.
class TProgramsOnly : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

  protected:
    bool filterAcceptsRow(int Row, const QModelIndex& Parent) const override {
        const auto* Files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!Files) return true;
        const QFileInfo Info = Files->fileInfo(Files->index(Row, 0, Parent));
        return Info.isDir() || Info.isExecutable();
    }
};

// Boxes are modal to whatever window is active, like a message box of the process; but
// never to a splash, which ends itself after its time and would take the box (and the
// user's answer) with it.
QWidget* BoxOwner() {
    QWidget* Active = QApplication::activeWindow();
    return Active && Active->windowType() == Qt::SplashScreen ? nullptr : Active;
}

// Window managers cut a caption that does not fit between the frame's icon and buttons
// ("Ko... is"). A box is made wide enough for its caption in a bold title face and six
// squares of the title's height beside it: the icon, the buttons and their spacing.
int CaptionRoom(const QString& Caption) {
    QFont Title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    Title.setBold(true);
    const QFontMetrics Metrics(Title);
    return Metrics.horizontalAdvance(Caption) + 6 * Metrics.height();
}

int RunBox(const QString& Caption, QMessageBox::Icon Icon, const QString& Text,
           QMessageBox::StandardButtons Buttons, QMessageBox::StandardButton Default,
           QMessageBox::StandardButton Escape) {
    const QString Shown = PromptText::ToDisplayText(Text);
    // Without a screen (the offscreen platform) nobody reads the box: its text goes to the
    // standard error as well, so that a run without a display says what stopped it.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        std::fprintf(stderr, "%s: %s\n", qPrintable(Caption), qPrintable(Shown));
    QMessageBox Box(Icon, Caption, Shown, Buttons, BoxOwner());
    // File and disk names are shown as they are, never taken for markup.
    Box.setTextFormat(Qt::PlainText);
    if (Default != QMessageBox::NoButton) Box.setDefaultButton(Default);
    if (Escape != QMessageBox::NoButton) Box.setEscapeButton(Escape);
    if (QAbstractButton* All = Box.button(QMessageBox::YesToAll)) All->setText(QStringLiteral("All"));
    // The box sizes itself from its layout, so the room goes in as a row of its own.
    if (auto* Grid = qobject_cast<QGridLayout*>(Box.layout()))
        Grid->addItem(new QSpacerItem(CaptionRoom(Caption), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      Grid->rowCount(), 0, 1, Grid->columnCount());
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

QString QtUserPrompts::GetOpenFileName(QWidget* Parent, const QString& InitialDir, const QString& Filter,
                                       const TOpenFileOptions& Options) {
    if (!Options.ProgramsOnly)
        return QFileDialog::getOpenFileName(Parent, Options.Title, InitialDir,
                                            PromptText::ToQtFilter(Filter));
    // Programs carry no name pattern here: the list is filtered by permission instead,
    // which only Qt's own dialog allows.
    QFileDialog Dialog(Parent, Options.Title, InitialDir, PromptText::ToQtFilter(Filter));
    Dialog.setFileMode(QFileDialog::ExistingFile);
    Dialog.setOption(QFileDialog::DontUseNativeDialog);
    Dialog.setProxyModel(new TProgramsOnly(&Dialog));
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return QString();
    return Dialog.selectedFiles().front();
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

IUserPrompts::TSameNameAnswer QtUserPrompts::AskSameName(const QString& Text, bool& ForAll) {
    QMessageBox Box(QMessageBox::Question, Caption(), PromptText::ToDisplayText(Text), QMessageBox::NoButton,
                    BoxOwner());
    Box.setTextFormat(Qt::PlainText);
    QPushButton* Replace = Box.addButton(QStringLiteral("&Replace"), QMessageBox::AcceptRole);
    QPushButton* KeepBoth = Box.addButton(QStringLiteral("&Keep both"), QMessageBox::AcceptRole);
    QPushButton* Skip = Box.addButton(QStringLiteral("&Skip"), QMessageBox::RejectRole);
    // Nothing is lost by a reflex Return: the new file keeps a name of its own.
    Box.setDefaultButton(KeepBoth);
    Box.setEscapeButton(Skip);
    auto* All = new QCheckBox(QStringLiteral("Do this for &all files"), &Box);
    Box.setCheckBox(All);
    Box.exec();
    ForAll = All->isChecked();
    if (Box.clickedButton() == Replace) return TSameNameAnswer::Replace;
    if (Box.clickedButton() == KeepBoth) return TSameNameAnswer::KeepBoth;
    return TSameNameAnswer::Skip;
}

QStringList QtUserPrompts::GetOpenFileNames(QWidget* Parent, const QString& InitialDir, const QString& Filter,
                                            const QString& Title) {
    return QFileDialog::getOpenFileNames(Parent, Title, InitialDir, PromptText::ToQtFilter(Filter));
}
