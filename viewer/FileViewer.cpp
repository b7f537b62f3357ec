// The viewer window: tabs, the character set switch, the hex width, the picture's zoom
// and its PNG file.
#include "FileViewer.h"

#include "BasicListing.h"
#include "C64Picture.h"
#include "HandlerGuard.h"
#include "PetsciiText.h"
#include "PetsciiView.h"
#include "TextViews.h"
#include "UserPrompts.h"
#include "hostfile.h"

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const char* const PngFilter = "PNG Image (*.png)|*.png|All Files (*.*)|*.*";

size_t Index(TViewKind View) {
    return static_cast<size_t>(View);
}

QStringList DisplayLines(const std::vector<std::string>& Lines) {
    QStringList Text;
    Text.reserve(static_cast<qsizetype>(Lines.size()));
    for (const std::string& Line : Lines)
        Text.append(PetsciiText::ToDisplay(Line));
    return Text;
}

QImage PictureImage(const TC64Picture& Picture) {
    QImage Image(TC64Picture::Width, TC64Picture::Height, QImage::Format_RGB32);
    for (int Y = 0; Y < TC64Picture::Height; ++Y) {
        auto* Row = reinterpret_cast<QRgb*>(Image.scanLine(Y));
        for (int X = 0; X < TC64Picture::Width; ++X)
            Row[X] = 0xFF000000u | Picture.At(X, Y);
    }
    return Image;
}

} // namespace

TFileViewer::TFileViewer(const QString& Title, const QString& BaseName, std::vector<uint8_t> Bytes,
                         TViewedType Type, const QString& Face, IUserPrompts& Prompts, QWidget* Parent)
    : QWidget(Parent, Qt::Window), Prompts(Prompts), Bytes(std::move(Bytes)), Type(Type), BaseName(BaseName),
      TextFace(Face) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Title + " - View");
    resize(940, 560);

    auto* Column = new QVBoxLayout(this);
    auto* Bar = new QHBoxLayout();
    CharSet = new QComboBox(this);
    CharSet->addItems({"Upper case / graphics", "Lower / upper case"});
    CharSet->setCurrentIndex(Face == LowerFace ? 1 : 0);
    auto* CharSetLabel = new QLabel("&Character set:", this);
    CharSetLabel->setBuddy(CharSet);
    Bar->addWidget(CharSetLabel);
    Bar->addWidget(CharSet);
    Bar->addStretch(1);
    Column->addLayout(Bar);

    Tabs = new QTabWidget(this);
    Tabs->addTab(BuildTextTab(TViewKind::Basic), "&BASIC");
    Tabs->addTab(BuildTextTab(TViewKind::Text), "&Text");
    HexWidth = new QComboBox(this);
    HexWidth->addItems({"16 bytes a row", "8 bytes a row"});
    Tabs->addTab(BuildTextTab(TViewKind::Hex, HexWidth), "&Hex");
    Tabs->addTab(BuildPictureTab(), "&Picture");
    Tabs->setTabEnabled(static_cast<int>(TViewKind::Picture),
                        PictureFormatOf(this->Bytes) != TPictureFormat::None);
    Column->addWidget(Tabs, 1);

    connect(CharSet, &QComboBox::currentIndexChanged, this,
            [this](int Set) { SetFace(Set == 1 ? LowerFace : GraphicFace); });
    connect(HexWidth, &QComboBox::currentIndexChanged, this, [this] {
        Filled[Index(TViewKind::Hex)] = false;
        Fill(TViewKind::Hex);
    });
    connect(Zoom, &QComboBox::currentIndexChanged, this, [this] { FillPicture(); });
    connect(SavePicture, &QPushButton::clicked, this, [this] { SavePictureClick(); });
    connect(Tabs, &QTabWidget::currentChanged, this, [this](int Tab) { Fill(static_cast<TViewKind>(Tab)); });
    auto* Escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(Escape, &QShortcut::activated, this, &QWidget::close);

    ShowView(FittingView(this->Bytes, Type));
}

QWidget* TFileViewer::BuildTextTab(TViewKind View, QWidget* Bar) {
    auto* Page = new QWidget(this);
    auto* Column = new QVBoxLayout(Page);
    if (Bar) {
        auto* Row = new QHBoxLayout();
        Row->addWidget(Bar);
        Row->addStretch(1);
        Column->addLayout(Row);
    }
    auto* Text = new TPetsciiView(TextFace, Page);
    Column->addWidget(Text, 1);
    Texts[Index(View)] = Text;
    return Page;
}

QWidget* TFileViewer::BuildPictureTab() {
    auto* Page = new QWidget(this);
    auto* Column = new QVBoxLayout(Page);
    auto* Row = new QHBoxLayout();
    PictureInfo = new QLabel(Page);
    Zoom = new QComboBox(Page);
    Zoom->addItems({"1x", "2x", "3x"});
    Zoom->setCurrentIndex(1);
    SavePicture = new QPushButton("&Save as PNG...", Page);
    Row->addWidget(PictureInfo);
    Row->addStretch(1);
    auto* ZoomLabel = new QLabel("&Zoom:", Page);
    ZoomLabel->setBuddy(Zoom);
    Row->addWidget(ZoomLabel);
    Row->addWidget(Zoom);
    Row->addWidget(SavePicture);
    Column->addLayout(Row);
    auto* Scroll = new QScrollArea(Page);
    PictureView = new QLabel(Scroll);
    PictureView->setAlignment(Qt::AlignCenter);
    Scroll->setWidget(PictureView);
    Scroll->setWidgetResizable(true);
    Column->addWidget(Scroll, 1);
    return Page;
}

TViewKind TFileViewer::CurrentView() const {
    return static_cast<TViewKind>(Tabs->currentIndex());
}

void TFileViewer::ShowView(TViewKind View) {
    Tabs->setCurrentIndex(static_cast<int>(View));
    Fill(View);
}

QString TFileViewer::ViewText(TViewKind View) {
    Fill(View);
    return View == TViewKind::Picture ? QString() : Texts[Index(View)]->Lines().join('\n');
}

void TFileViewer::Fill(TViewKind View) {
    if (Filled[Index(View)]) return;
    Filled[Index(View)] = true;
    if (View == TViewKind::Picture)
        FillPicture();
    else
        FillText(View);
}

void TFileViewer::FillText(TViewKind View) {
    const std::optional<uint16_t> Load = LoadAddressOf(Bytes, Type);
    std::vector<std::string> Lines;
    switch (View) {
    case TViewKind::Basic:
        Lines = DecodeBasic(Bytes).ViewLines();
        break;
    case TViewKind::Text:
        Lines = PetsciiLines(Bytes, Load ? 2 : 0);
        break;
    default: {
        const int Width = HexWidth->currentIndex() == 1 ? 8 : 16;
        for (const THexRow& Row : HexRows(Bytes, Load ? 2 : 0, Load.value_or(0), Width))
            Lines.push_back(HexRowText(Row, Width) + ' ' + Row.Bytes);
        break;
    }
    }
    Texts[Index(View)]->SetLines(DisplayLines(Lines));
}

void TFileViewer::FillPicture() {
    const TC64Picture Picture = DecodePicture(Bytes);
    if (Picture.Format == TPictureFormat::None) return;
    const uint16_t Load = LoadAddressOf(Bytes, TViewedType::Program).value_or(0);
    PictureInfo->setText(QString("%1, load address $%2")
                             .arg(PictureFormatName(Picture.Format))
                             .arg(QString::number(Load, 16).toUpper().rightJustified(4, '0')));
    const int Factor = Zoom->currentIndex() + 1;
    PictureView->setPixmap(QPixmap::fromImage(
        PictureImage(Picture).scaled(TC64Picture::Width * Factor, TC64Picture::Height * Factor,
                                     Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

void TFileViewer::SetFace(const QString& Face) {
    TextFace = Face;
    for (TPetsciiView* Text : Texts)
        if (Text) Text->SetFace(Face);
}

void TFileViewer::SavePictureClick() {
    RunGuarded(Prompts, [this] {
        if (PictureView->pixmap().isNull()) return;
        const QString Chosen =
            Prompts.GetSaveFileName(this, BaseName + ".png", PngFilter, "Save as PNG", "png");
        if (Chosen.isEmpty()) return;
        const std::string Path = QFile::encodeName(Chosen).toStdString();
        if (HostFile::Exists(Path) &&
            !Prompts.AskYesNo("The file <" + Chosen + "> already exists! Overwrite?", true))
            return;
        QByteArray Png;
        QBuffer Buffer(&Png);
        Buffer.open(QIODevice::WriteOnly);
        PictureView->pixmap().toImage().save(&Buffer, "PNG");
        // The old file is replaced only once the new one is complete.
        HostFile::ReplaceWhole(Path, reinterpret_cast<const uint8_t*>(Png.constData()),
                               static_cast<size_t>(Png.size()));
    });
}
