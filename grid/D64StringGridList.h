// TRowRecordList: per-row state of a directory grid (the row's directory entry and
// its selection flag), indexed by grid row; index 0 is the header row.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

using TIntegerArray = std::vector<int32_t>;

struct TRowRecord {
    uint8_t* Entry = nullptr;
    bool Selected = false;
};

class TRowRecordList {
  public:
    int Count() const;
    void SetCount(int NewCount);
    void Clear();
    void GetRecord(int Index, TRowRecord& Out) const;
    void SetRecord(int Index, const TRowRecord& Record);
    uint8_t* GetEntry(int Index) const;
    void SetEntry(int Index, uint8_t* Entry);
    bool IsSelected(int Index) const;
    void SetSelected(int Index, bool Selected);
    int SelectedCount() const;

  private:
    std::vector<std::unique_ptr<TRowRecord>> Records;
};
