// TEmuDlg: the emulator options, one page per emulator (CCS64, WinVICE, Frodo). The
// window fills it from its settings, shows it modally and reads it back only on OK.
#pragma once

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
    // (2: WinVICE, 3: Frodo, any other value: CCS64).
    void Fill(const TEmulatorSettings& CCS64, const TEmulatorSettings& WinVice, int CurrentEmulator);
    // The controls' values; the paths exactly as typed.
    void ReadBack(TEmulatorSettings& CCS64, TEmulatorSettings& WinVice) const;

    // Browse handler shared by Button1 (Tag 1: CCS64) and Button2 (Tag 2: WinVICE).
    void Button1Click(int Tag);

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    void BuildCCSPage();
    void BuildVicePage();

    IUserPrompts& Prompts;

    QTabWidget* EmulatorPages = nullptr;
    QWidget* CCS_Page = nullptr;
    QWidget* Vice_Page = nullptr;
    QWidget* Frodo_Page = nullptr;

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

    // The radio buttons of each group; a button's id is its item index.
    QButtonGroup* StartMethod1 = nullptr;
    QButtonGroup* LoadMethod1 = nullptr;
    QButtonGroup* LoadMethod2 = nullptr;

    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;
};
