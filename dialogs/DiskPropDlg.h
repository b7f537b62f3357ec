// TDiskPropDlg: the "Disk Properties" dialog. It shows a disk's track count and whether
// the image carries error bytes, and lets the user edit the label, the ID and DOS-type
// string, the free-block count of the BAM, soft write protection and, on 40-track disks,
// the DOS emulation. It takes the values in and hands them back; the disk-properties
// command reads them from the disk and writes the changes.
//
//     TDiskPropValues Shown = TDiskPropValues::FromDisk(Disk);
//     const std::optional<TDiskPropValues> Edited = TDiskPropDlg::Execute(Prompts, this, Shown);
//     if (!Edited) return; // cancelled: nothing changes
//     ... Edited->DiskName, Edited->IdPart(), Edited->DosTypePart(), Edited->FreeBlocks ...
#pragma once

#include "c64disk.h"

#include <QDialog>
#include <QString>

#include <optional>

class IUserPrompts;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

// What the dialog shows and hands back. Texts of the disk are raw PETSCII bytes.
struct TDiskPropValues {
    QString FileName;           // the image's path, shown in the caption
    int TrackCount = 35;        // "Tracks"
    bool ErrorInfo = false;     // "Error Information": "Included" or "Not Included"
    bool DosEmuEnabled = false; // only 40-track disks may change their DOS emulation
    int DosEmuItem = deCbmDos;  // the TDosEmulation of the selected item; -1 when typed text selects none
    PetsciiString DiskName = "UNNAMED";
    // The ID text, padded with spaces to 3 characters when a DOS-type text follows, and
    // the DOS-type text: "01 2A" for a standard header.
    PetsciiString DiskID = "01 2A";
    // Where the padding spaces of the shown ID began (3 when nothing was padded).
    int IdPaddedFrom = 3;
    int FreeBlocks = 0;
    int FreeBlocksLimit = 664;
    bool SoftWriteProtected = false;

    // The values of a disk, in the order and by the rules of filling the dialog.
    static TDiskPropValues FromDisk(TC64Disk& Disk);
    // Characters 1-3 of DiskID for the ID area. Spaces that only pad the shown ID are
    // dropped again, so that the area gets back its 0xA0 padding and an unedited ID is
    // stored exactly as it was read.
    PetsciiString IdPart() const;
    // Characters 4-5 of DiskID, as far as they exist.
    PetsciiString DosTypePart() const;
};

class TDiskPropDlg : public QDialog {
    Q_OBJECT

  public:
    TDiskPropDlg(IUserPrompts& Prompts, QWidget* Owner);

    // Shows the dialog modally, filled with Initial; the values on OK, nothing on Cancel.
    static std::optional<TDiskPropValues> Execute(IUserPrompts& Prompts, QWidget* Owner,
                                                  const TDiskPropValues& Initial);

    void SetValues(const TDiskPropValues& Values);
    TDiskPropValues Values() const;

    QFrame* Bevel1;
    QLabel* Label9;
    QLabel* Tracks;
    QLabel* Label5;
    QLabel* ErrorInfos;
    QLabel* Label1;
    QLineEdit* Diskname;
    QLabel* Label3;
    QLineEdit* DiskID;
    QToolButton* bChar;
    QLabel* Label2;
    QSpinBox* FreeBlocks;
    QCheckBox* SWProtect;
    QLabel* Label4;
    QComboBox* DosEmu;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    void bCharClick();

  private:
    IUserPrompts& Prompts;
    // What the dialog was filled with: the fields it does not edit are handed back as given.
    TDiskPropValues FValues;
};
