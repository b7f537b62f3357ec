// TUndoHistory: the undo and redo steps of the images a window shows. Each image (one disk
// object, shared by the panes showing its file) keeps the bytes it held before each change,
// at most Limit steps; an image's steps go when its disk object goes. Undo takes the newest
// step of any image and redo the one undone last, so the last change is undone first
// wherever it was made.
#pragma once

#include "c64disk.h"

#include <QString>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class TUndoHistory {
  public:
    static constexpr size_t Limit = 50;

    struct TStep {
        QString Command; // the command's name, as the Edit menu shows it
        ByteArray Bytes; // the image before the change (undo) or after it (redo)
        uint64_t Order = 0;
    };

    // A change of Disk made by Command: a new undo step, the image's redo steps dropped.
    void Record(const std::shared_ptr<TC64Disk>& Disk, const QString& Command, ByteArray Before);
    // The image whose step an undo (or a redo) takes next, and that step; none when there is none.
    std::shared_ptr<TC64Disk> Next(bool Redo, const TStep** Step = nullptr) const;
    // Moves the image's next step to the other list, holding Bytes: the image as it was
    // before the step was taken.
    void Flip(const std::shared_ptr<TC64Disk>& Disk, bool Redo, ByteArray Bytes);
    // The steps of From go on with To, the object that now stands for the same file.
    void Move(const TC64Disk* From, const std::shared_ptr<TC64Disk>& To);
    // Forgets an image's steps, and those of disk objects gone.
    void Drop(const TC64Disk* Disk);

  private:
    struct TImage {
        std::weak_ptr<TC64Disk> Disk;
        std::deque<TStep> Undo, Redo;
    };
    TImage* Find(const TC64Disk* Disk);
    const TImage* Find(const TC64Disk* Disk) const;
    std::vector<TImage> Images;
    uint64_t Counter = 0;
};
