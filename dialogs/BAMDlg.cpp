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

// Around the view: the bevel's margins, and below it the row of buttons.
constexpr int ViewLeft = 22;
constexpr int ViewTop = 19;
constexpr int MarginsWidth = 43;
constexpr int MarginsHeight = 67;
constexpr int MaxDamageLines = 4;
constexpr int DamageLineHeight = 16;

const char* const ChangeQuestion =
    "Changing the Block Availability Map can turn your disk in an invalid state!\r\n"
    "Do you really want to change it?";

} // namespace

TBAMDlg::TBAMDlg(IUserPrompts& Prompts, QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Prompts(Prompts) {
    FixedForm::Setup(this, QStringLiteral("Block Availability Map (BAM)"), QSize(100, 100));
    Bevel1 = FixedForm::NewBevel(this, QRect());
    BamView1 = new TBamView(this);

    Image1 = new QLabel(this);
    Image1->setPixmap(QPixmap(Resources::BadgePath()));
    Image1->resize(Image1->pixmap().size());

    DamageText = new QLabel(this);
    DamageText->setTextFormat(Qt::PlainText);
    DamageText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    DamageText->hide();

    bok = DialogControls::NewButton(this, QStringLiteral("OK"), QRect(0, 0, 75, 25), true);
    bcancel = DialogControls::NewButton(this, QStringLiteral("Cancel"), QRect(0, 0, 75, 25));

    connect(bok, &QPushButton::clicked, this, &TBAMDlg::bokClick);
    connect(bcancel, &QPushButton::clicked, this, &QDialog::reject);
    // The 1541's chart until a disk says otherwise.
    LayOut(TBamGeometry(35, std::vector<int>(40, 21)).ViewSize(), 0);
    DialogControls::CentreOnScreen(this, Owner);
}

void TBAMDlg::LayOut(QSize View, int Extra) {
    const int Width = View.width() + MarginsWidth;
    const int Height = View.height() + MarginsHeight;
    Bevel1->setGeometry(9, 8, Width - 19, Height - 48);
    BamView1->setGeometry(QRect(QPoint(ViewLeft, ViewTop), View));
    // Over the view's lower right corner, where the chart leaves the space free.
    const QSize Badge = Image1->size();
    Image1->move(ViewLeft + View.width() - Badge.width() + 2, ViewTop + View.height() - Badge.height() - 1);
    Image1->raise();
    DamageText->setGeometry(12, Height - 35, Width - 24, Extra);
    setFixedSize(Width, Height + Extra);
    // The buttons lie below the lines naming the damage.
    bok->move(Width / 2 - 81, Height - 29 + Extra);
    bcancel->move(Width / 2 + 7, Height - 29 + Extra);
}

void TBAMDlg::SetDisk(TC64Disk* Disk) {
    BamView1->SetDisk(Disk);
    // The form grows by the lines naming the damage.
    QStringList Lines = BamView1->Damage();
    if (Lines.size() > MaxDamageLines)
        Lines = Lines.mid(0, MaxDamageLines - 1)
                << QString("... and %1 more").arg(Lines.size() - MaxDamageLines + 1);
    const int Extra = Lines.isEmpty() ? 0 : DamageLineHeight * static_cast<int>(Lines.size()) + 6;
    DamageText->setText(Lines.isEmpty() ? QString() : "Damage: " + Lines.join("\n        "));
    DamageText->setVisible(!Lines.isEmpty());
    const QSize Before = size();
    const TBamGeometry Chart = BamView1->Geometry();
    Image1->setPixmap(QPixmap(Resources::BadgePath(Chart.Drive())));
    LayOut(Chart.ViewSize(), Extra);
    // A chart of another size is centred again.
    if (size() != Before) DialogControls::CentreOnScreen(this, parentWidget());
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
