// TMainForm: the Validate and Unscratch commands of each side (the findings or the
// scratched files in a list; Repair and Unscratch through ChangeDisk, so that they can be
// undone) and the damage note of a pane's status line.
#include "Main.h"

#include "ListActionDlg.h"
#include "PetsciiText.h"
#include "Unscratch.h"
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

TListActionValues UnscratchValues(const std::vector<TScratchedFile>& Files) {
    TListActionValues Values;
    Values.Caption = QStringLiteral("Unscratch");
    Values.Columns = QStringList{"Name", "Type", "Blocks", "State"};
    for (const TScratchedFile& File : Files) {
        Values.Rows.push_back(
            {PetsciiText::ToDisplay(File.Name), FileKindText(File.Kind), QString::number(File.Blocks),
             File.Lost ? "lost: " + QString::fromStdString(File.Reason) : QString("can come back")});
        Values.Offered.push_back(!File.Lost);
    }
    Values.Summary = Files.empty()
                         ? QStringLiteral("There are no scratched files on this disk.")
                         : QStringLiteral("Choose the files to bring back. A scratched file keeps no type: "
                                          "it comes back as REL when it has side sectors, else as PRG.");
    Values.ActionCaption = QStringLiteral("&Unscratch");
    Values.ChooseRows = true;
    return Values;
}

} // namespace

void TMainForm::BuildValidateItems() {
    QMenu* SideMenus[2] = {miLeft, miRight};
    for (int Index = 0; Index < 2; ++Index) {
        ValidateItem[Index] = new QAction("Va&lidate...", this);
        UnscratchItem[Index] = new QAction("&Unscratch...", this);
        for (QAction* Item : {UnscratchItem[Index], ValidateItem[Index]}) {
            Item->setData(Index);
            // After "View BAM", before the DOS emulation: Validate, then Unscratch.
            SideMenus[Index]->insertAction(SideMenus[Index]->actions().value(2), Item);
        }
        QAction* Item = ValidateItem[Index];
        connect(Item, &QAction::triggered, this, [this, Item] { ValidateClick(Item); });
        QAction* Other = UnscratchItem[Index];
        connect(Other, &QAction::triggered, this, [this, Other] { UnscratchClick(Other); });
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

void TMainForm::UnscratchClick(QAction* Sender) {
    Guarded([&] {
        const int Side = Sender->data().toInt() == 0 ? 1 : 2;
        const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
        if (!SideDisk) return;
        const std::vector<TScratchedFile> Files = FindScratchedFiles(*SideDisk);
        const std::optional<TListActionValues> Chosen =
            TListActionDlg::Execute(Prompts, this, UnscratchValues(Files));
        if (!Chosen) return;
        std::vector<uint8_t*> Entries;
        for (int Row : Chosen->Chosen)
            Entries.push_back(Files[static_cast<size_t>(Row)].Entry);
        if (ChangeDisk(
                Side, [&] { UnscratchFiles(*SideDisk, Entries); }, true, QStringLiteral("Unscratch")))
            RefreshChangedSide(Side);
    });
}

QString TMainForm::DamageNote(TC64Disk& Disk) {
    TValidation Found;
    try {
        Found = Validate(Disk);
    } catch (const EC64DiskException&) {
        return {}; // the listing has said what it could not read
    }
    int Blocks = 0, Tracks = 0, Unclosed = 0, Other = 0;
    bool SideTwo = false;
    for (const TFinding& Finding : Found.Findings) {
        switch (Finding.Kind) {
        case TFindingKind::FreeInUse:
        case TFindingKind::UnownedAllocated:
            ++Blocks;
            break;
        case TFindingKind::WrongFreeCount:
            ++Tracks;
            break;
        case TFindingKind::SideTwoCounts:
            SideTwo = true;
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
    if (SideTwo) Parts << QString("SIDE 2 COUNTED ON TRACK 53");
    if (Unclosed) Parts << QString("%1 UNCLOSED FILE%2").arg(Unclosed).arg(Unclosed == 1 ? "" : "S");
    if (Other) Parts << QString("%1 DAMAGED ENTR%2").arg(Other).arg(Other == 1 ? "Y" : "IES");
    if (Parts.isEmpty()) return {};
    return " - " + Parts.join(", ") + " - VALIDATE";
}
