// TRowRecordList: the per-row entry references and selection flags of one directory grid.
#include "D64StringGridList.h"

#include <cstddef>

namespace {

// Negative indexes wrap to huge values here, so they fail the same bounds check.
bool InRange(int Index, std::size_t Size) {
    return static_cast<std::size_t>(Index) < Size;
}

} // namespace

int TRowRecordList::Count() const {
    return static_cast<int>(Records.size());
}

void TRowRecordList::SetCount(int NewCount) {
    // The list only grows here; the grid empties it through Clear.
    while (Count() < NewCount)
        Records.push_back(std::make_unique<TRowRecord>());
}

void TRowRecordList::Clear() {
    Records.clear();
}

void TRowRecordList::GetRecord(int Index, TRowRecord& Out) const {
    if (!InRange(Index, Records.size())) return;
    if (const TRowRecord* Record = Records[Index].get())
        Out = *Record;
    else
        Out = TRowRecord{};
}

void TRowRecordList::SetRecord(int Index, const TRowRecord& Record) {
    if (!InRange(Index, Records.size())) return;
    if (!Records[Index]) Records[Index] = std::make_unique<TRowRecord>();
    *Records[Index] = Record;
}

uint8_t* TRowRecordList::GetEntry(int Index) const {
    if (!InRange(Index, Records.size()) || !Records[Index]) return nullptr;
    return Records[Index]->Entry;
}

void TRowRecordList::SetEntry(int Index, uint8_t* Entry) {
    if (!InRange(Index, Records.size())) return;
    TRowRecord Record;
    GetRecord(Index, Record);
    Record.Entry = Entry;
    SetRecord(Index, Record);
}

bool TRowRecordList::IsSelected(int Index) const {
    if (!InRange(Index, Records.size()) || !Records[Index]) return false;
    return Records[Index]->Selected;
}

void TRowRecordList::SetSelected(int Index, bool Selected) {
    if (!InRange(Index, Records.size())) return;
    TRowRecord Record;
    GetRecord(Index, Record);
    Record.Selected = Selected;
    SetRecord(Index, Record);
}

int TRowRecordList::SelectedCount() const {
    int Result = 0;
    for (int Index = 0; Index < Count(); ++Index)
        if (IsSelected(Index)) ++Result;
    return Result;
}
