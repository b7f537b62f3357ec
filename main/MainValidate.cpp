// TMainForm: the Validate command of each side (the findings in a list, Repair through
// ChangeDisk so that it can be undone) and the damage note of a pane's status line.
#include "Main.h"

#include "ListActionDlg.h"
#include "PetsciiText.h"
#include "Validate.h"

#include <QAction>
#include <QMenu>

namespace {

// The file column of a finding, in the C64 face.
QString FindingFile(const TFinding& Finding) {
    if (!Finding.File.empty()) return PetsciiText::ToDisplay(Finding.File);
    return Finding.Directory ? QStringLiteral("DIRECTORY") : QString();
}

QString Quoted(const PetsciiString& Name) {
    return "\"" + PetsciiText::ToDisplay(Name) + "\"";
}

TListActionValues ValidateValues(const TValidation& Found) {
    TListActionValues Values;
    Values.Caption = QStringLiteral("Validate");
    Values.Columns = QStringList{"File", "Where", "Finding", "Repair"};
    for (const TFinding& Finding : Found.Findings)
        Values.Rows.push_back(
            {FindingFile(Finding), QString::fromStdString(FindingPlace(Finding)),
             QString::fromStdString(FindingProblem(
                 Finding, [](const PetsciiString& Name) { return Quoted(Name).toStdString(); })),
             RepairFixes(Finding.Kind) ? QStringLiteral("put right") : QStringLiteral("reported only")});
    if (Found.Findings.empty())
        Values.Summary = QStringLiteral("The disk is consistent: nothing to repair.");
    else
        Values.Summary = QString::number(Found.Findings.size()) +
                         " finding(s). Repair writes a BAM traced from the directory and the files, and "
                         "scratches unclosed files; broken chains and cross-linked files are only reported.";
    Values.ActionCaption = QStringLiteral("&Repair");
    Values.ActionEnabled = Found.NeedsRepair();
    return Values;
}

} // namespace

void TMainForm::BuildValidateItems() {
    QMenu* SideMenus[2] = {miLeft, miRight};
    for (int Index = 0; Index < 2; ++Index) {
        ValidateItem[Index] = new QAction("Va&lidate...", this);
        ValidateItem[Index]->setData(Index);
        // After "View BAM", before the DOS emulation.
        SideMenus[Index]->insertAction(SideMenus[Index]->actions().value(2), ValidateItem[Index]);
        QAction* Item = ValidateItem[Index];
        connect(Item, &QAction::triggered, this, [this, Item] { ValidateClick(Item); });
    }
}

void TMainForm::ValidateClick(QAction* Sender) {
    Guarded([&] {
        const int Side = Sender->data().toInt() == 0 ? 1 : 2;
        const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
        if (!SideDisk) return;
        if (!TListActionDlg::Execute(Prompts, this, ValidateValues(Validate(*SideDisk)))) return;
        if (ChangeDisk(
                Side, [&] { Repair(*SideDisk); }, false, QStringLiteral("Repair")))
            RefreshChangedSide(Side);
    });
}

QString TMainForm::DamageNote(TC64Disk& Disk) {
    const TValidation Found = Validate(Disk);
    int Blocks = 0, Tracks = 0, Unclosed = 0, Other = 0;
    for (const TFinding& Finding : Found.Findings) {
        switch (Finding.Kind) {
        case TFindingKind::FreeInUse:
        case TFindingKind::UnownedAllocated:
            ++Blocks;
            break;
        case TFindingKind::WrongFreeCount:
            ++Tracks;
            break;
        case TFindingKind::Unclosed:
            ++Unclosed;
            break;
        default:
            ++Other;
        }
    }
    // The status line is drawn in the C64 face: capitals only.
    QStringList Parts;
    if (Blocks)
        Parts << QString("BAM DIFFERS IN %1 BLOCK%2").arg(Blocks).arg(Blocks == 1 ? "" : "S");
    else if (Tracks)
        Parts << QString("BAM COUNTS %1 TRACK%2 WRONG").arg(Tracks).arg(Tracks == 1 ? "" : "S");
    if (Unclosed) Parts << QString("%1 UNCLOSED FILE%2").arg(Unclosed).arg(Unclosed == 1 ? "" : "S");
    if (Other) Parts << QString("%1 DAMAGED ENTR%2").arg(Other).arg(Other == 1 ? "Y" : "IES");
    if (Parts.isEmpty()) return {};
    return " - " + Parts.join(", ") + " - VALIDATE";
}
