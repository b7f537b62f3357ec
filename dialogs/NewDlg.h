// TNewDlg: the "Create New Disk" dialog. It asks for the disk label, the disk ID and
// DOS-type string, the host file name, the drive's kind with the 1541's track count, the
// DOS format of a 40-track disk and whether the image carries error bytes. It only collects the choices; the
// new-disk command makes the image from them.
//
// Use from the command:
//     const std::optional<TNewDiskValues> Choice = TNewDlg::Execute(Prompts, this);
//     if (!Choice) return; // cancelled: nothing changes
//     ... Choice->Filename, Choice->DiskType(), Choice->DosEmulation(),
//         Choice->DiskName, Choice->DiskID ...
// Execute shows the dialog modally with the given values (the form's defaults unless
// told otherwise) and hands them back only when the dialog closed with OK. OK on the
// name of an existing file asks first whether to replace it; No keeps the dialog open.
#pragma once

#include "cmd_types.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>

class IUserPrompts;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The drive a new disk is made for: its image kind.
enum class TNewDiskKind { D64, D71, D81 };

// What the dialog shows and hands back. Names and IDs are raw PETSCII bytes.
struct TNewDiskValues {
    std::string DiskName = "UNNAMED";
    std::string DiskID = "01 2A"; // bytes 1-3: the disk ID area, bytes 4-5: the DOS-type string
    QString Filename = QStringLiteral("Unnamed.d64"); // as typed; may be empty or lack ".d64"
    bool FortyTracks = false;                         // "Disk Type": "40 Tracks" rather than "35 Tracks"
    bool DolphinDos = false;                          // "Disk Format": "Dolphin Dos" rather than "Speed Dos"
    bool ErrorBytes = false;                          // "include error bytes"
    TNewDiskKind Kind = TNewDiskKind::D64; // "Disk Type": the 1571's or 1581's rather than a 1541's

    // The engine's disk type for the kind, the track count and the error bytes.
    TDiskType DiskType() const;
    // The DOS emulation: CBM DOS but for a 1541 disk of 40 tracks, whose format decides.
    TDosEmulation DosEmulation() const;
    // The host file the image goes to: Filename in the file system's encoding, with the
    // kind's extension added when it has no dot after its last path separator; empty when empty.
    std::string HostFileName() const;

    bool operator==(const TNewDiskValues&) const = default;
};

// The extension of a kind's image files, without the dot: "d64", "d71" or "d81".
QString KindExtension(TNewDiskKind Kind);
// The DOS-type string the kind's drive formats with: "2A", or "3D" for the 1581.
std::string KindDosType(TNewDiskKind Kind);

class TNewDlg : public QDialog {
    Q_OBJECT

  public:
    TNewDlg(IUserPrompts& Prompts, QWidget* Owner);

    // Shows the dialog modally, filled with Initial; the values on OK, nothing on Cancel.
    static std::optional<TNewDiskValues> Execute(IUserPrompts& Prompts, QWidget* Owner,
                                                 const TNewDiskValues& Initial = {});

    void SetValues(const TNewDiskValues& Values);
    TNewDiskValues Values() const;

    QFrame* Bevel1;
    QLabel* Label1;
    QLineEdit* Diskname;
    QLineEdit* DiskID;
    QToolButton* character;
    QLabel* Label2;
    QLineEdit* Filename;
    QToolButton* SpeedButton1;
    QGroupBox* DiskType;
    QGroupBox* DiskFormat;
    QCheckBox* ErrorBytes;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    void OKBtnClick();
    void SearchClick();
    void DiskTypeClick();
    void characterClick();

  private:
    QGroupBox* NewRadioGroup(const QRect& Place, const QString& Caption, const QStringList& Texts,
                             QButtonGroup*& Items);

    TNewDiskKind CheckedKind() const;

    IUserPrompts& Prompts;
    TNewDiskKind ShownKind = TNewDiskKind::D64; // the kind the file name and DOS type follow
    QButtonGroup* DiskTypeItems = nullptr;
    QButtonGroup* DiskFormatItems = nullptr;
};
