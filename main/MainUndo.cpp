// TMainForm: undo and redo. Every change a command makes through ChangeDisk leaves the
// image's bytes from before it in the history; undo writes them back through the engine's
// save, which first checks that no other program changed the file since.
#include "Main.h"

#include "UserPrompts.h"

#include <QAction>
#include <QMenu>

namespace {

const char* const ChangedElsewhere =
    " is refused: the changes made before can no longer be undone or redone.";

} // namespace

void TMainForm::BuildUndoItems(QMenu* EditMenu) {
    Undo1 = new QAction("&Undo", this);
    Undo1->setShortcut(QKeySequence("Ctrl+Z"));
    Redo1 = new QAction("&Redo", this);
    Redo1->setShortcut(QKeySequence("Ctrl+Shift+Z"));
    QAction* First = EditMenu->actions().value(0);
    for (QAction* Item : {Undo1, Redo1}) {
        Item->setShortcutContext(Qt::WindowShortcut);
        Item->setEnabled(false);
        EditMenu->insertAction(First, Item);
    }
    EditMenu->insertSeparator(First);
    connect(Undo1, &QAction::triggered, this, [this] { UndoClick(); });
    connect(Redo1, &QAction::triggered, this, [this] { RedoClick(); });
}

QString TMainForm::TriggeringCommand() const {
    if (const auto* Item = qobject_cast<const QAction*>(sender())) {
        QString Name = Item->text().remove('&');
        if (Name.endsWith("...")) Name.chop(3);
        return Name;
    }
    return QStringLiteral("Change");
}

void TMainForm::RecordChange(const std::shared_ptr<TC64Disk>& Changed, const QString& Command,
                             ByteArray Before) {
    // A command that ends without changing a byte (a dialog cancelled) leaves no step.
    if (!Replaying &&
        !std::equal(Before.begin(), Before.end(), Changed->Image(), Changed->Image() + Changed->ImageSize()))
        History.Record(Changed, Command, std::move(Before));
    UpdateUndoItems();
}

void TMainForm::UndoClick() {
    Guarded([this] { StepHistory(false); });
}

void TMainForm::RedoClick() {
    Guarded([this] { StepHistory(true); });
}

void TMainForm::StepHistory(bool Redo) {
    const TUndoHistory::TStep* Step = nullptr;
    const std::shared_ptr<TC64Disk> Target = History.Next(Redo, &Step);
    const int Side = !Target ? 0 : DiskRef(1) == Target ? 1 : DiskRef(2) == Target ? 2 : 0;
    if (!Side) return;
    const ByteArray Bytes = Step->Bytes;
    ByteArray Current(Target->Image(), Target->Image() + Target->ImageSize());
    bool Written = false;
    Replaying = true;
    try {
        Written = ChangeDisk(Side, [&] { Target->RestoreImage(Bytes); });
    } catch (const EC64DiskChangedException& Error) {
        // The other program's file is read again; the steps, made on what the file held
        // before, would now undo that program's change instead.
        Replaying = false;
        History.Drop(Target.get());
        Prompts.ShowError(QString::fromStdString(Error.what()) + (Redo ? " Redo" : " Undo") +
                          ChangedElsewhere);
        ReloadImage(Error.FileName);
        UpdateUndoItems();
        return;
    } catch (...) {
        Replaying = false;
        throw;
    }
    Replaying = false;
    // A failed write keeps the step where it was, with the disk object read anew.
    if (Written) {
        History.Flip(Target, Redo, std::move(Current));
        RefreshChangedSide(Side);
    }
    UpdateUndoItems();
}

void TMainForm::UpdateUndoItems() {
    if (!Undo1) return;
    History.Drop(nullptr);
    for (const bool Redo : {false, true}) {
        const TUndoHistory::TStep* Step = nullptr;
        const bool Some = History.Next(Redo, &Step) != nullptr;
        QAction* Item = Redo ? Redo1 : Undo1;
        Item->setEnabled(Some);
        Item->setText(QString(Redo ? "&Redo" : "&Undo") + (Some ? " \"" + Step->Command + "\"" : QString()));
    }
}
