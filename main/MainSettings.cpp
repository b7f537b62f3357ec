// The window's settings: placement and emulator settings read when the window is first
// shown and written when it closes, and the emulator indicator that follows them.
#include "Main.h"

#include "SettingsStore.h"
#include "UserPrompts.h"
#include "WindowGeometry.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStringList>

namespace {

// Reads the settings one by one. A value of the wrong type is noted and read as absent:
// its default applies (and is what closing writes back), and the values after it are
// still read as stored.
class TSettingsReader {
  public:
    explicit TSettingsReader(ISettingsStore& Store) : Store(Store) {}

    std::optional<int> Integer(const QString& Name) { return Read(&ISettingsStore::ReadInteger, Name); }
    std::optional<QString> String(const QString& Name) { return Read(&ISettingsStore::ReadString, Name); }
    std::optional<QByteArray> Binary(const QString& Name) { return Read(&ISettingsStore::ReadBinary, Name); }

    // The messages of the values that were bad, in reading order.
    QStringList Errors;

  private:
    template <typename T>
    std::optional<T> Read(std::optional<T> (ISettingsStore::*Reader)(const QString&), const QString& Name) {
        try {
            return (Store.*Reader)(Name);
        } catch (const ESettingsTypeError& Error) {
            Errors << QString::fromStdString(Error.what());
            return std::nullopt;
        }
    }

    ISettingsStore& Store;
};

// The emulator code from its binary value: at most 4 bytes, low-order first.
std::optional<int> EmulatorCode(const QByteArray& Bytes) {
    if (Bytes.size() > 4) return std::nullopt;
    uint32_t Code = 0;
    for (int Index = 0; Index < Bytes.size(); ++Index)
        Code |= static_cast<uint32_t>(static_cast<uint8_t>(Bytes.at(Index))) << (8 * Index);
    return static_cast<int>(Code);
}

} // namespace

void TMainForm::LoadSettings() {
    TSettingsReader Read(Settings);
    const std::optional<int> Max = Read.Integer("Max");
    if (Max && *Max != 0) {
        // The restored size is the minimum; the stored placement does not apply.
        ApplyBounds(QRect(pos(), QSize(MinWindowWidth, MinWindowHeight)), false);
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        QRect Bounds(pos(), size());
        if (const std::optional<int> Width = Read.Integer("Width")) Bounds.setWidth(*Width);
        if (const std::optional<int> Height = Read.Integer("Height")) Bounds.setHeight(*Height);
        const std::optional<int> X = Read.Integer("X");
        if (X) Bounds.moveLeft(*X);
        const std::optional<int> Y = Read.Integer("Y");
        if (Y) Bounds.moveTop(*Y);
        // Without a stored position the window manager places the window.
        ApplyBounds(Bounds, X || Y);
    }

    CCS64Settings.Location = Read.String("CCS64").value_or(QString()).toStdString();
    CCS64Settings.Windowed = Read.Integer("CCS64_windowed").value_or(0) != 0;
    CCS64Settings.FastLoad = Read.Integer("CCS64_fast").value_or(1) != 0;
    CCS64Settings.AutoRun = Read.Integer("CCS64_run").value_or(1) != 0;
    WinViceSettings.Location = Read.String("WinVice").value_or(QString()).toStdString();
    WinViceSettings.FastLoad = Read.Integer("WinVice_fast").value_or(1) != 0;
    FrodoSettings.Location = Read.String("Frodo").value_or(QString()).toStdString();
    const TViceSettings ViceDefaults;
    ViceSettings.Location =
        Read.String("Vice").value_or(QString::fromStdString(ViceDefaults.Location)).toStdString();
    ViceSettings.AutoRun = Read.Integer("Vice_run").value_or(ViceDefaults.AutoRun) != 0;
    ViceSettings.FastLoad = Read.Integer("Vice_fast").value_or(ViceDefaults.FastLoad) != 0;
    ViceSettings.TrueDrive = Read.Integer("Vice_truedrive").value_or(ViceDefaults.TrueDrive) != 0;
    ViceSettings.Windowed = Read.Integer("Vice_windowed").value_or(ViceDefaults.Windowed) != 0;

    CurrentEmulator = 1;
    if (const std::optional<QByteArray> Emulator = Read.Binary("Emulator")) {
        if (const std::optional<int> Code = EmulatorCode(*Emulator))
            CurrentEmulator = *Code;
        else
            Read.Errors << QStringLiteral("Invalid registry data type for value \"Emulator\"");
    }
    ShowCurrentEmulator();
    if (!Read.Errors.isEmpty()) Prompts.ShowError(Read.Errors.join(QStringLiteral("\r\n")));
}

void TMainForm::ApplyBounds(const QRect& Bounds, bool Positioned) {
    const QSize Screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size()
                                                          : QSize(MinWindowWidth, MinWindowHeight);
    const QMargins Frame = FrameMargins();
    const QRect Clamped = ClampWindowBounds(Bounds, Screen, Frame);
    if (Positioned) move(Clamped.topLeft());
    resize(Clamped.size());
    FrameClampPending = Frame.isNull();
}

QMargins TMainForm::FrameMargins() const {
    const QRect Frame = frameGeometry();
    const QRect Client = geometry();
    return QMargins(Client.left() - Frame.left(), Client.top() - Frame.top(), Frame.right() - Client.right(),
                    Frame.bottom() - Client.bottom());
}

void TMainForm::ShowCurrentEmulator() {
    switch (CurrentEmulator) {
    case 1:
        CCS64Win321->setChecked(true);
        paEmulator->setText("CCS64");
        break;
    case 2:
        WinVice1->setChecked(true);
        paEmulator->setText("WINVICE");
        break;
    case 3:
        // Frodo is not part of the radio group: its check joins the others.
        Frodo1->setChecked(true);
        paEmulator->setText("FRODO");
        break;
    case 4:
        Vice1->setChecked(true);
        paEmulator->setText("VICE");
        break;
    default:
        break;
    }
}

void TMainForm::SaveSettings() {
    // The frame's position and the client area's size, as LoadSettings applies them.
    Settings.WriteInteger("X", x());
    Settings.WriteInteger("Y", y());
    Settings.WriteInteger("Width", width());
    Settings.WriteInteger("Height", height());
    Settings.WriteInteger("Max", isMaximized() ? 1 : 0);
    Settings.WriteString("CCS64", QString::fromStdString(CCS64Settings.Location));
    Settings.WriteInteger("CCS64_windowed", CCS64Settings.Windowed ? 1 : 0);
    Settings.WriteInteger("CCS64_fast", CCS64Settings.FastLoad ? 1 : 0);
    Settings.WriteInteger("CCS64_run", CCS64Settings.AutoRun ? 1 : 0);
    Settings.WriteString("WinVice", QString::fromStdString(WinViceSettings.Location));
    Settings.WriteInteger("WinVice_fast", WinViceSettings.FastLoad ? 1 : 0);
    Settings.WriteString("Vice", QString::fromStdString(ViceSettings.Location));
    Settings.WriteInteger("Vice_run", ViceSettings.AutoRun ? 1 : 0);
    Settings.WriteInteger("Vice_fast", ViceSettings.FastLoad ? 1 : 0);
    Settings.WriteInteger("Vice_truedrive", ViceSettings.TrueDrive ? 1 : 0);
    Settings.WriteInteger("Vice_windowed", ViceSettings.Windowed ? 1 : 0);
    const auto Code = static_cast<uint32_t>(CurrentEmulator);
    QByteArray Bytes(4, '\0');
    for (int Index = 0; Index < 4; ++Index)
        Bytes[Index] = static_cast<char>((Code >> (8 * Index)) & 0xFF);
    Settings.WriteBinary("Emulator", Bytes);
}
