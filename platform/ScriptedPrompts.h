// Test double for IUserPrompts: answers come from queues filled by the test, and every
// text shown is recorded in order with its kind, so a test can assert the exact message.
// Nothing blocks. A question or dialog with an empty queue is recorded in Unexpected
// (and warned about) and answered No / cancelled, so the code under test goes on in its
// safest way and the test fails on QVERIFY(Prompts.Unexpected.isEmpty()).
#pragma once

#include "UserPrompts.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <utility>

class ScriptedPrompts : public IUserPrompts {
  public:
    enum class TKind {
        Message,
        Warning,
        Error,
        YesNo,
        YesNoAll,
        OpenFile,
        SaveFile,
        Folder,
        Clipboard,
        SameName,
        OpenFiles
    };

    struct TShown {
        TKind Kind;
        QString Text;            // the message, dialog title or clipboard text, exactly as passed
        QString Path;            // initial folder or path of a file dialog
        QString Filter;          // filter of a file dialog, as passed
        bool DefaultNo = false;  // AskYesNo only
        QString DefaultExt = {}; // save dialog only
        // GetOpenFileName only: the dialog was to offer programs only.
        bool ProgramsOnly = false;
    };

    // Answers, taken from the front.
    std::deque<bool> YesNoAnswers;
    std::deque<TAnswer> YesNoAllAnswers;
    std::deque<QString> OpenFileNames; // an empty string answers "cancelled"
    std::deque<QString> SaveFileNames;
    std::deque<QString> FolderNames;
    // Same-name answers with their "for all" box.
    std::deque<std::pair<TSameNameAnswer, bool>> SameNameAnswers;
    std::deque<QStringList> OpenFileLists; // an empty list answers "cancelled"

    // Everything shown, in order.
    QList<TShown> Shown;
    // Descriptions of questions asked with no answer queued.
    QStringList Unexpected;
    QString ClipboardText;

    // Texts of one kind, in order.
    QStringList Texts(TKind Kind) const;
    QStringList Messages() const { return Texts(TKind::Message); }
    QStringList Warnings() const { return Texts(TKind::Warning); }
    QStringList Errors() const { return Texts(TKind::Error); }
    QStringList Questions() const { return Texts(TKind::YesNo); }
    void Clear();

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
    void NoAnswer(const char* What, const QString& Text);
};
