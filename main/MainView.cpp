// The view command: File > View (F3) and the pane popup's View open the file in the active
// pane's current row in a viewer window of its own; several may be open at once.
#include "Main.h"

#include "D64StringGrid.h"
#include "FileViewer.h"
#include "LocalPath.h"
#include "PetsciiUnicode.h"
#include "UserPrompts.h"

#include <QAction>
#include <QMenu>

void TMainForm::BuildViewItems(QMenu* FileMenu) {
    ViewFile1 = new QAction("&View", this);
    ViewFile1->setShortcut(QKeySequence("F3"));
    ViewFile1->setShortcutContext(Qt::WindowShortcut);
    connect(ViewFile1, &QAction::triggered, this, [this] { ViewFile1Click(); });
    // After Properties in the File menu; last in the popup.
    const QList<QAction*> Items = FileMenu->actions();
    const qsizetype After = Items.indexOf(Properties1) + 1;
    FileMenu->insertAction(After > 0 && After < Items.size() ? Items[After] : nullptr, ViewFile1);
    PopupMenu1->addAction(ViewFile1);
}

void TMainForm::ViewFile1Click() {
    Guarded([this] {
        const int Side = ActiveSide();
        const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
        if (!SideDisk) return;
        TD64StringGrid* View = ViewOf(Side);
        uint8_t* Entry = View->GetRowEntry(View->Row());
        if (!Entry) {
            Prompts.ShowMessage("Please first select one file to view and try again!");
            return;
        }
        // Read as export reads it; a broken chain is the engine's refusal, shown by the guard.
        ByteArray Bytes = SideDisk->LoadFile(Entry);
        const TFileKind Kind = SideDisk->DecodeFileType(Entry[2]).Kind;
        const QString Face = PaneFace();
        const TCharSet Set = Face == SmallBigFace ? TCharSet::LowerUpper : TCharSet::UpperGraphic;
        const QString Title =
            '"' + QString::fromStdString(PetsciiToUtf8(PetsciiToString(Entry + 5, 15), Set)) + '"';
        auto* Viewer = new TFileViewer(Title, FromLocalPath(ExportBaseName(Entry + 5)), std::move(Bytes),
                                       ViewedTypeOf(Kind), Face, Prompts, this);
        Viewer->show();
        Viewer->activateWindow();
    });
}
