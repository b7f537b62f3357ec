// TFilePropertiesDlg: the "File Properties" dialog. It shows one directory entry (name,
// type, locked and closed flags, block count) with a note on the file's real length, and
// hands the edited values back; the file-properties command reads the entry and writes
// the changes.
//
//     TFilePropValues Shown = TFilePropValues::FromEntry(Disk, Entry);
//     Shown.SizeNote = TFilePropValues::RealSizeNote(Size); // or std::nullopt
//     const std::optional<TFilePropValues> Edited = TFilePropertiesDlg::Execute(Prompts, this, Shown);
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

// What the dialog shows and hands back. The name is raw PETSCII bytes.
struct TFilePropValues {
    // Items of the type list, in order.
    enum TTypeItem { PrgItem, DelItem, SeqItem, RelItem, UsrItem, UnknownItem };

    PetsciiString Name;
    int TypeItem = PrgItem;
    int Blocks = 0; // 0..65535
    bool Locked = false;
    bool Closed = false;
    QString SizeNote; // "* (real filesize is N byte)" or "* (real filesize not known)"

    // Name, block count, type item and flags of a 32-byte directory entry.
    static TFilePropValues FromEntry(TC64Disk& Disk, const uint8_t* Entry);
    // The note on the real length; without a length, the note that it is not known.
    static QString RealSizeNote(std::optional<int> Bytes);
    // The item shown for a kind ("?" for the unknown and other kinds) and the kind
    // written back for an item.
    static int ItemOfKind(TFileKind Kind);
    static TFileKind KindOfItem(int Item);
};

class TFilePropertiesDlg : public QDialog {
    Q_OBJECT

  public:
    TFilePropertiesDlg(IUserPrompts& Prompts, QWidget* Owner);

    // Shows the dialog modally, filled with Initial; the values on OK, nothing on Cancel.
    static std::optional<TFilePropValues> Execute(IUserPrompts& Prompts, QWidget* Owner,
                                                  const TFilePropValues& Initial);

    void SetValues(const TFilePropValues& Values);
    TFilePropValues Values() const;

    QFrame* Bevel1;
    QLabel* Label1;
    QLineEdit* efFilename;
    QLabel* Label2;
    QComboBox* cbFiletype;
    QToolButton* SpeedButton1;
    QLabel* Label3;
    QSpinBox* seFilesize;
    QLabel* Label4;
    QLabel* lbfilesize;
    QCheckBox* cbLocked;
    QCheckBox* cbClosed;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* Button1;

    void SpeedButton1Click();

  private:
    IUserPrompts& Prompts;
};
