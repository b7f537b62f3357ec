// TInfoDlg: the About box. Picture, version and build, build date, a credit line and
// the running system; the version and system come from an ISystemInfo.
#pragma once

#include <QDialog>
#include <QString>

class IUserPrompts;
class ISystemInfo;
class QFrame;
class QLabel;
class QPushButton;

class TInfoDlg : public QDialog {
    Q_OBJECT

  public:
    TInfoDlg(ISystemInfo& System, IUserPrompts& Prompts, QWidget* Parent = nullptr);

    QFrame* Bevel1;
    QLabel* Image1;
    QLabel* Version;
    QLabel* Label3;
    QLabel* OS;
    QPushButton* OKBtn;

    // The date of a revision keyword string: the ten characters after "$Date: "
    // ("2004/02/01"); empty when the string holds no "$Date:".
    static QString GetDateFromRevision(const QString& Revision);

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    void FormCreate();
    void FormShow();

    ISystemInfo& System;
    IUserPrompts& Prompts;
};
