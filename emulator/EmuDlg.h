// TEmuDlg: the emulator options, one page per emulator (CCS64, WinVICE, VICE, Frodo). The
// window fills it from its settings, shows it modally and reads it back only on OK.
#pragma once

#include "ViceSettings.h"
#include "cmd_types.h"

#include <QDialog>

class IUserPrompts;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

class TEmuDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TEmuDlg(IUserPrompts& Prompts, QWidget* Parent = nullptr);

    // Puts the settings into the controls and opens the page of the current emulator
    // (2: WinVICE, 3: Frodo, 4: VICE, any other value: CCS64).
    void Fill(const TEmulatorSettings& CCS64, const TEmulatorSettings& WinVice, int CurrentEmulator);
    void FillVice(const TViceSettings& Vice);
    // The controls' values; the paths exactly as typed.
    void ReadBack(TEmulatorSettings& CCS64, TEmulatorSettings& WinVice) const;
    void ReadBackVice(TViceSettings& Vice) const;

    // Browse handler shared by Button1 (Tag 1: CCS64), Button2 (Tag 2: WinVICE) and
    // Button3 (Tag 3: VICE). It opens in the folder of the program its edit names, else
    // in /usr/bin.
    void Button1Click(int Tag);

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    void BuildCCSPage();
    void BuildVicePage();
    void BuildX64Page();

    IUserPrompts& Prompts;

    QTabWidget* EmulatorPages = nullptr;
    QWidget* CCS_Page = nullptr;
    QWidget* Vice_Page = nullptr;
    QWidget* Frodo_Page = nullptr;
    QWidget* X64_Page = nullptr;

    QLabel* Label1 = nullptr;
    QLineEdit* edEmuLocation1 = nullptr;
    QPushButton* Button1 = nullptr;
    QGroupBox* rgStartMethod1 = nullptr;
    QGroupBox* rgLoadMethod1 = nullptr;
    QCheckBox* cbWindowed1 = nullptr;

    QLabel* Label2 = nullptr;
    QLineEdit* edEmuLocation2 = nullptr;
    QPushButton* Button2 = nullptr;
    QGroupBox* rgLoadMethod2 = nullptr;

    QLabel* Label3 = nullptr;
    QLineEdit* edEmuLocation3 = nullptr;
    QPushButton* Button3 = nullptr;
    QGroupBox* rgStartMethod3 = nullptr;
    QGroupBox* rgLoadMethod3 = nullptr;
    QCheckBox* cbTrueDrive3 = nullptr;
    QCheckBox* cbWindowed3 = nullptr;

    // The radio buttons of each group; a button's id is its item index.
    QButtonGroup* StartMethod1 = nullptr;
    QButtonGroup* LoadMethod1 = nullptr;
    QButtonGroup* LoadMethod2 = nullptr;
    QButtonGroup* StartMethod3 = nullptr;
    QButtonGroup* LoadMethod3 = nullptr;

    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;
};
