// TFileViewer: one file's bytes in a window of their own, a tab per view (BASIC listing,
// PETSCII text, hex rows, picture), opening on the view that fits the file. The C64 text
// is drawn in the C64 fonts, in either character set; pictures in the C64 palette at 1x,
// 2x or 3x, and saved as PNG. Non-modal; it deletes itself when closed; Escape closes it.
#pragma once

#include "FileViews.h"

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

class IUserPrompts;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class TPetsciiView;

class TFileViewer : public QWidget {
    Q_OBJECT

  public:
    // The faces of the two character sets.
    static constexpr const char* GraphicFace = "CBM64 Big/Graphic";
    static constexpr const char* LowerFace = "CBM64 Small/Big";

    // Title names the file (in the window's caption); BaseName is the host name a saved
    // picture is offered under; Face is the window's font mode.
    TFileViewer(const QString& Title, const QString& BaseName, std::vector<uint8_t> Bytes, TViewedType Type,
                const QString& Face, IUserPrompts& Prompts, QWidget* Parent = nullptr);

    TViewKind CurrentView() const;
    void ShowView(TViewKind View);
    // The lines of a text view as drawn (display characters, '\n' between lines).
    QString ViewText(TViewKind View);
    QString Face() const { return TextFace; }
    // Saves the picture at its zoom, after the save dialog (and a question before
    // replacing a file).
    void SavePictureClick();

    QTabWidget* Tabs = nullptr;
    QComboBox* CharSet = nullptr;  // upper case and graphics / lower and upper case
    QComboBox* HexWidth = nullptr; // 16 or 8 bytes a row
    QComboBox* Zoom = nullptr;     // 1x, 2x, 3x
    QPushButton* SavePicture = nullptr;
    QLabel* PictureInfo = nullptr; // the format and load address
    QLabel* PictureView = nullptr;

  private:
    QWidget* BuildTextTab(TViewKind View, QWidget* Bar = nullptr);
    QWidget* BuildPictureTab();
    // Fills a tab the first time it is shown, so that opening shows one view only.
    void Fill(TViewKind View);
    void FillText(TViewKind View);
    void FillPicture();
    void SetFace(const QString& Face);

    IUserPrompts& Prompts;
    const std::vector<uint8_t> Bytes;
    const TViewedType Type;
    const QString BaseName;
    QString TextFace;
    std::array<TPetsciiView*, 4> Texts = {};
    std::array<bool, 4> Filled = {};
};
