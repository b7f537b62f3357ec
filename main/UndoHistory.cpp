// TUndoHistory: the steps of each image, kept in the order they were made.
#include "UndoHistory.h"

#include <algorithm>

TUndoHistory::TImage* TUndoHistory::Find(const TC64Disk* Disk) {
    return const_cast<TImage*>(std::as_const(*this).Find(Disk));
}

const TUndoHistory::TImage* TUndoHistory::Find(const TC64Disk* Disk) const {
    for (const TImage& Image : Images)
        if (const std::shared_ptr<TC64Disk> Held = Image.Disk.lock(); Held && Held.get() == Disk)
            return &Image;
    return nullptr;
}

void TUndoHistory::Record(const std::shared_ptr<TC64Disk>& Disk, const QString& Command, ByteArray Before) {
    Drop(nullptr);
    TImage* Image = Find(Disk.get());
    if (!Image) Image = &Images.emplace_back(TImage{Disk, {}, {}});
    Image->Redo.clear();
    Image->Undo.push_back({Command, std::move(Before), ++Counter});
    if (Image->Undo.size() > Limit) Image->Undo.pop_front();
}

std::shared_ptr<TC64Disk> TUndoHistory::Next(bool Redo, const TStep** Step) const {
    std::shared_ptr<TC64Disk> Newest;
    const TStep* Found = nullptr;
    for (const TImage& Image : Images) {
        const std::deque<TStep>& List = Redo ? Image.Redo : Image.Undo;
        if (List.empty() || (Found && List.back().Order < Found->Order)) continue;
        if (std::shared_ptr<TC64Disk> Held = Image.Disk.lock()) {
            Newest = std::move(Held);
            Found = &List.back();
        }
    }
    if (Step) *Step = Found;
    return Newest;
}

void TUndoHistory::Flip(const std::shared_ptr<TC64Disk>& Disk, bool Redo, ByteArray Bytes) {
    TImage* Image = Find(Disk.get());
    if (!Image) return;
    std::deque<TStep>& From = Redo ? Image->Redo : Image->Undo;
    std::deque<TStep>& To = Redo ? Image->Undo : Image->Redo;
    if (From.empty()) return;
    To.push_back({From.back().Command, std::move(Bytes), ++Counter});
    From.pop_back();
}

void TUndoHistory::Move(const TC64Disk* From, const std::shared_ptr<TC64Disk>& To) {
    if (TImage* Image = Find(From)) Image->Disk = To;
}

void TUndoHistory::Drop(const TC64Disk* Disk) {
    std::erase_if(Images, [Disk](const TImage& Image) {
        const std::shared_ptr<TC64Disk> Held = Image.Disk.lock();
        return !Held || Held.get() == Disk;
    });
}
