// TListActionDlg: a list of items found on a disk (the findings of Validate, the scratched
// files Unscratch can bring back) with one action on them. The first column holds C64
// names and is drawn in the C64 face. Items not offered are shown greyed and cannot be
// chosen. Takes its values in and hands the chosen rows back; the command does the rest.
//
//     TListActionValues Values{"Validate", "3 findings.", {"File", "Finding"}, Rows, {}, "&Repair"};
//     if (const auto Chosen = TListActionDlg::Execute(Prompts, this, Values)) ... Chosen->Chosen
#pragma once

#include <QDialog>
#include <QStringList>

#include <optional>
#include <vector>

class IUserPrompts;
class QLabel;
class QPushButton;
class QTreeWidget;

struct TListActionValues {
    QString Caption;
    QString Summary;               // the line above the list
    QStringList Columns;           // the headers; the first column holds C64 names
    std::vector<QStringList> Rows; // the cells of each row
    std::vector<bool> Offered;     // per row, whether it can be chosen; empty: every row
    QString ActionCaption;         // the button that acts, "&Repair" or "&Unscratch"
    bool ActionEnabled = true;
    // The action takes the rows the user selects (at least one); else it takes them all.
    bool ChooseRows = false;
    // Handed back: the rows the action takes.
    std::vector<int> Chosen;
};

class TListActionDlg : public QDialog {
    Q_OBJECT

  public:
    TListActionDlg(IUserPrompts& Prompts, QWidget* Owner);

    // Shows the dialog modally; the values with the chosen rows when the action button was
    // pressed, nothing on Close.
    static std::optional<TListActionValues> Execute(IUserPrompts& Prompts, QWidget* Owner,
                                                    const TListActionValues& Initial);

    void SetValues(const TListActionValues& Values);
    TListActionValues Values() const;

    QLabel* Summary;
    QTreeWidget* List;
    QPushButton* ActionBtn;
    QPushButton* CloseBtn;

  private:
    void FollowSelection();
    TListActionValues FValues;
};
