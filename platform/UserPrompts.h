// Every message box, question, file or folder dialog and the clipboard go through this
// interface, so tests answer them with a scripted double and read what was shown.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What an open dialog may ask for beyond its folder and filter.
struct TOpenFileOptions {
    QString Title;             // the dialog's title; empty: the toolkit's own
    bool ProgramsOnly = false; // offer only files the user may run (and folders)
};

class IUserPrompts {
  public:
    enum class TAnswer { Yes, No, All };

    virtual ~IUserPrompts() = default;

    // Plain message: caption "Kobaltmandrexis", OK.
    virtual void ShowMessage(const QString& Text) = 0;
    // Warning message with the exclamation icon, OK ("This disk may be damaged!").
    virtual void ShowWarning(const QString& Text) = 0;
    // The application's error display: caption "Kobaltmandrexis", stop icon, OK.
    virtual void ShowError(const QString& Text) = 0;
    // Warning question with Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& Text, bool DefaultNo) = 0;
    // Confirmation with Yes, No and All.
    virtual TAnswer AskYesNoAll(const QString& Text) = 0;
    // File and folder dialogs; an empty result means cancelled.
    virtual QString GetOpenFileName(QWidget* Parent, const QString& InitialDir, const QString& Filter,
                                    const TOpenFileOptions& Options = {}) = 0;
    // The save dialog never asks about an existing file itself: the commands ask their own
    // questions. DefaultExt (without the dot) is added to a name typed without extension.
    virtual QString GetSaveFileName(QWidget* Parent, const QString& InitialPath, const QString& Filter,
                                    const QString& Title = {}, const QString& DefaultExt = {}) = 0;
    virtual QString GetExistingDirectory(QWidget* Parent, const QString& Title) = 0;
    virtual void SetClipboardText(const QString& Text) = 0;

    // A file whose name is already on the disk: Replace, Keep both or Skip, closing the box
    // answers Skip. ForAll is set when the answer is to stand for the command's other files.
    enum class TSameNameAnswer { Replace, KeepBoth, Skip };
    virtual TSameNameAnswer AskSameName(const QString& Text, bool& ForAll) = 0;
    // An open dialog choosing one or more existing files; empty when cancelled.
    virtual QStringList GetOpenFileNames(QWidget* Parent, const QString& InitialDir, const QString& Filter,
                                         const QString& Title) = 0;
};
