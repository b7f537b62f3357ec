// The About box.
#include "InfoDlg.h"

#include "Resources.h"
#include "SystemInfo.h"
#include "UserPrompts.h"

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

namespace {

// The revision keywords of the files this dialog was built from; the newest date is
// the build date.
const char* const Revisions[3] = {
    "$Revision: 1.12 $#$Date: 2004/02/01 10:55:06 $#$Author: halvorsteen $",
    "$Revision: 1.16 $#$Date: 2004/02/01 10:53:47 $#$Author: halvorsteen $",
    "$Revision: 1.15 $#$Date: 2004/02/01 10:53:47 $#$Author: halvorsteen $",
};

const char* const OsError = "Error while getting OS Informations!";

QLabel* NewLabel(QWidget* Parent, const char* Name, const QString& Text, const QRect& Bounds,
                 const QString& Family, int PixelHeight) {
    auto* Label = new QLabel(Text, Parent);
    Label->setObjectName(Name);
    Label->setGeometry(Bounds);
    Label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label->setTextFormat(Qt::PlainText);
    QFont Font = Label->font();
    // The designed face where it exists, the desktop's own otherwise.
    Font.setFamilies({Family, Font.family()});
    Font.setPixelSize(PixelHeight);
    Label->setFont(Font);
    return Label;
}

} // namespace

TInfoDlg::TInfoDlg(ISystemInfo& System, IUserPrompts& Prompts, QWidget* Parent)
    : QDialog(Parent), System(System), Prompts(Prompts) {
    setWindowTitle("Program Info");
    // A fixed dialog border: no sizing, no minimising or maximising.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(302, 259);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(10, 10, 280, 207);

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->move(0, 26);

    // The lines span the frame's inside, centred as designed, since the desktop's faces
    // are wider than the designed ones. The system line has two lines: the system, then
    // its release or distribution.
    Version =
        NewLabel(this, "Version", "Version: 0.0.0 ( Build 0 )", QRect(12, 149, 278, 19), "MS Sans Serif", 13);
    Label3 = NewLabel(this, "Label3", "Written by Halvorsteen, 2004", QRect(12, 168, 278, 19),
                      "MS Sans Serif", 13);
    OS = NewLabel(this, "OS", "running : xxx", QRect(12, 188, 278, 26), "Tahoma", 11);

    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setGeometry(113, 226, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

QString TInfoDlg::GetDateFromRevision(const QString& Revision) {
    const qsizetype Start = Revision.indexOf(QLatin1String("$Date:"));
    if (Start < 0) return QString();
    return Revision.mid(Start + 7, 10);
}

void TInfoDlg::FormCreate() {
    QImage Picture(Resources::InfoPath());
    if (Picture.isNull()) return;
    QPixmap Pixels = QPixmap::fromImage(Picture);
    // Drawn transparent: the colour of the bottom-left pixel lets the dialog show through.
    Pixels.setMask(Pixels.createMaskFromColor(Picture.pixelColor(0, Picture.height() - 1)));
    Image1->setPixmap(Pixels);
    Image1->resize(Pixels.size());
}

void TInfoDlg::FormShow() {
    Image1->move(width() / 2 - Image1->width() / 2, Image1->y());

    const QString FileVersion = System.FileVersion();
    if (!FileVersion.isEmpty()) {
        const qsizetype Dot = FileVersion.lastIndexOf(u'.');
        const QString Number = Dot < 0 ? FileVersion : FileVersion.left(Dot);
        const QString Build = Dot < 0 ? QString() : FileVersion.mid(Dot + 1);
        const QString BuildDate =
            std::max({GetDateFromRevision(Revisions[0]), GetDateFromRevision(Revisions[1]),
                      GetDateFromRevision(Revisions[2])});
        Version->setText(QStringLiteral("Version: %1  ( Build: %2 - %3 )").arg(Number, Build, BuildDate));
    }

    const std::optional<QString> Line = System.SystemLine();
    if (!Line) {
        Prompts.ShowMessage(OsError);
        return;
    }
    OS->setText(QString(*Line).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void TInfoDlg::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    if (Event->spontaneous()) return;
    if (const QScreen* Screen = screen()) move(Screen->availableGeometry().center() - rect().center());
    FormShow();
}
