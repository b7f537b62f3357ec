// The real IUserPrompts: QMessageBox, QFileDialog and the system clipboard.
#pragma once

#include "UserPrompts.h"

class QtUserPrompts : public IUserPrompts {
  public:
    // Caption of every box. An empty caption follows the application's name (its title),
    // so a box shown before the start-up sets the title carries the default title.
    explicit QtUserPrompts(const QString& Caption = QStringLiteral("Kobaltmandrexis"));

    QString Caption() const;

    void ShowMessage(const QString& Text) override;
    void ShowWarning(const QString& Text) override;
    void ShowError(const QString& Text) override;
    bool AskYesNo(const QString& Text, bool DefaultNo) override;
    TAnswer AskYesNoAll(const QString& Text) override;
    QString GetOpenFileName(QWidget* Parent, const QString& InitialDir, const QString& Filter,
                            const TOpenFileOptions& Options = {}) override;
    QString GetSaveFileName(QWidget* Parent, const QString& InitialPath, const QString& Filter,
                            const QString& Title = {}, const QString& DefaultExt = {}) override;
    QString GetExistingDirectory(QWidget* Parent, const QString& Title) override;
    void SetClipboardText(const QString& Text) override;
    TSameNameAnswer AskSameName(const QString& Text, bool& ForAll) override;
    QStringList GetOpenFileNames(QWidget* Parent, const QString& InitialDir, const QString& Filter,
                                 const QString& Title) override;

  private:
    QString FCaption;
};
