// TListActionDlg: the list, the greyed rows and the action button's state.
#include "ListActionDlg.h"

#include "DialogControls.h"
#include "PetsciiText.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TListActionDlg::TListActionDlg(IUserPrompts&, QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    auto* Column = new QVBoxLayout(this);
    Summary = new QLabel(this);
    Summary->setTextFormat(Qt::PlainText);
    Summary->setWordWrap(true);
    List = new QTreeWidget(this);
    List->setRootIsDecorated(false);
    List->setUniformRowHeights(true);
    List->setAllColumnsShowFocus(true);
    List->setMinimumSize(560, 240);
    ActionBtn = new QPushButton(this);
    CloseBtn = new QPushButton(QStringLiteral("&Close"), this);
    CloseBtn->setDefault(true);
    auto* Buttons = new QHBoxLayout();
    Buttons->addStretch(1);
    Buttons->addWidget(ActionBtn);
    Buttons->addWidget(CloseBtn);
    Column->addWidget(Summary);
    Column->addWidget(List, 1);
    Column->addLayout(Buttons);

    connect(ActionBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(List, &QTreeWidget::itemSelectionChanged, this, [this] { FollowSelection(); });
    DialogControls::CentreOnScreen(this, Owner);
}

std::optional<TListActionValues> TListActionDlg::Execute(IUserPrompts& Prompts, QWidget* Owner,
                                                         const TListActionValues& Initial) {
    return DialogControls::ExecuteModal<TListActionDlg>(Prompts, Owner, Initial);
}

void TListActionDlg::SetValues(const TListActionValues& Values) {
    FValues = Values;
    setWindowTitle(Values.Caption);
    Summary->setText(Values.Summary);
    ActionBtn->setText(Values.ActionCaption);
    List->clear();
    List->setColumnCount(static_cast<int>(Values.Columns.size()));
    List->setHeaderLabels(Values.Columns);
    List->setSelectionMode(Values.ChooseRows ? QAbstractItemView::ExtendedSelection
                                             : QAbstractItemView::NoSelection);
    const QFont NameFace = PetsciiText::C64Font(QStringLiteral("CBM64 Big/Graphic"));
    for (size_t Row = 0; Row < Values.Rows.size(); ++Row) {
        auto* Item = new QTreeWidgetItem(List, Values.Rows[Row]);
        Item->setFont(0, NameFace);
        if (!Values.Offered.empty() && !Values.Offered[Row]) Item->setFlags(Qt::NoItemFlags);
    }
    for (int Col = 0; Col < List->columnCount(); ++Col)
        List->resizeColumnToContents(Col);
    FollowSelection();
}

TListActionValues TListActionDlg::Values() const {
    TListActionValues Values = FValues;
    Values.Chosen.clear();
    for (int Row = 0; Row < List->topLevelItemCount(); ++Row)
        if (!Values.ChooseRows || List->topLevelItem(Row)->isSelected()) Values.Chosen.push_back(Row);
    return Values;
}

void TListActionDlg::FollowSelection() {
    ActionBtn->setEnabled(FValues.ActionEnabled && (!FValues.ChooseRows || !List->selectedItems().isEmpty()));
}
