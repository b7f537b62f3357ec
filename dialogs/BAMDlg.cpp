// TBAMDlg: layout and the OK question.
#include "BAMDlg.h"

#include "BamView.h"
#include "DialogControls.h"
#include "FixedForm.h"
#include "Resources.h"
#include "UserPrompts.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

constexpr int ClientWidth = 636;
constexpr int ClientHeight = 433;
constexpr int MaxDamageLines = 4;
constexpr int DamageLineHeight = 16;

const char* const ChangeQuestion =
    "Changing the Block Availability Map can turn your disk in an invalid state!\r\n"
    "Do you really want to change it?";

} // namespace

TBAMDlg::TBAMDlg(IUserPrompts& Prompts, QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Prompts(Prompts) {
    FixedForm::Setup(this, QStringLiteral("Block Availability Map (BAM)"), QSize(ClientWidth, ClientHeight));
    Bevel1 = FixedForm::NewBevel(this, QRect(9, 8, 617, 385));
    BamView1 = new TBamView(this);
    BamView1->setGeometry(22, 19, 593, 366);

    // Over the view's lower right corner, where the chart leaves the space free.
    Image1 = new QLabel(this);
    Image1->setPixmap(QPixmap(Resources::BadgePath()));
    Image1->move(467, 357);
    Image1->resize(Image1->pixmap().size());
    Image1->raise();

    DamageText = new QLabel(this);
    DamageText->setTextFormat(Qt::PlainText);
    DamageText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    DamageText->hide();

    bok = DialogControls::NewButton(this, QStringLiteral("OK"), QRect(237, 404, 75, 25), true);
    bcancel = DialogControls::NewButton(this, QStringLiteral("Cancel"), QRect(325, 404, 75, 25));

    connect(bok, &QPushButton::clicked, this, &TBAMDlg::bokClick);
    connect(bcancel, &QPushButton::clicked, this, &QDialog::reject);
    DialogControls::CentreOnScreen(this, Owner);
}

void TBAMDlg::SetDisk(TC64Disk* Disk) {
    BamView1->SetDisk(Disk);
    // The form grows by the lines naming the damage; the buttons move below them.
    QStringList Lines = BamView1->Damage();
    if (Lines.size() > MaxDamageLines)
        Lines = Lines.mid(0, MaxDamageLines - 1)
                << QString("... and %1 more").arg(Lines.size() - MaxDamageLines + 1);
    const int Extra = Lines.isEmpty() ? 0 : DamageLineHeight * static_cast<int>(Lines.size()) + 6;
    DamageText->setText(Lines.isEmpty() ? QString() : "Damage: " + Lines.join("\n        "));
    DamageText->setGeometry(12, 398, ClientWidth - 24, Extra);
    DamageText->setVisible(!Lines.isEmpty());
    setFixedSize(ClientWidth, ClientHeight + Extra);
    bok->move(237, 404 + Extra);
    bcancel->move(325, 404 + Extra);
}

void TBAMDlg::bokClick() {
    // The dialog closes with OK whatever happens while writing.
    try {
        if (BamView1->IsModified() && Prompts.AskYesNo(ChangeQuestion, true)) BamView1->ApplyChanges();
    } catch (...) {
        FApplyError = std::current_exception();
    }
    accept();
}
