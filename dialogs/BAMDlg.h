// TBAMDlg: the "Block Availability Map (BAM)" dialog around one TBamView. OK asks before
// the toggled blocks are written; Cancel and the close box write nothing.
//
//     TBAMDlg Dialog(Prompts, this);
//     Dialog.SetDisk(Disk);
//     const bool Ok = Dialog.exec() == QDialog::Accepted;
//     ... Dialog.BamView1->IsModified(), then pass on Dialog.ApplyError() if set
// The dialog closes with OK even when writing the blocks fails; the error is kept for the
// command to pass on once the dialog is gone.
#pragma once

#include <QDialog>
#include <QSize>

#include <exception>

class IUserPrompts;
class QFrame;
class QLabel;
class QPushButton;
class TBamView;
class TC64Disk;

class TBAMDlg : public QDialog {
    Q_OBJECT

  public:
    TBAMDlg(IUserPrompts& Prompts, QWidget* Owner);

    void SetDisk(TC64Disk* Disk);
    void bokClick();
    // What stopped ApplyChanges on OK; none when nothing went wrong.
    std::exception_ptr ApplyError() const { return FApplyError; }

    QFrame* Bevel1;
    TBamView* BamView1;
    QLabel* Image1;
    QPushButton* bok;
    QPushButton* bcancel;
    // Below the chart on a damaged disk: what kept owners from being traced.
    QLabel* DamageText;

  private:
    // Places the controls around a view of this size, with Extra pixels for the damage lines.
    void LayOut(QSize View, int Extra);

    IUserPrompts& Prompts;
    std::exception_ptr FApplyError;
};
