// TMainForm: the main window. Two panes (disk-name panel and directory grid each), the
// menus, tool bar and popup menu of every command, the status bar, the active side,
// opening, closing and listing images, the window keys, the font mode and the settings.
#pragma once

#include "D64StringGridList.h"
#include "HostExport.h"
#include "UndoHistory.h"
#include "ViceSettings.h"
#include "c64disk.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class IFontInstaller;
class IProcessStarter;
class ISettingsStore;
class ISystemInfo;
class IUserPrompts;
class QAction;
class QActionGroup;
class QFileSystemWatcher;
class QLabel;
class QMenu;
class QMimeData;
class QTemporaryDir;
class QTimer;
class QToolBar;
class TD64StringGrid;

class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    TMainForm(IUserPrompts& Prompts, ISettingsStore& Settings, IFontInstaller& Fonts,
              IProcessStarter& Processes, ISystemInfo& System, QWidget* Parent = nullptr);
    // Starts emulators and reads version and system information from the host itself.
    TMainForm(IUserPrompts& Prompts, ISettingsStore& Settings, IFontInstaller& Fonts,
              QWidget* Parent = nullptr);
    ~TMainForm() override;

    static constexpr const char* AppCaption = "Kobaltmandrexis 0.2";
    static constexpr const char* BigGraphicFace = "CBM64 Big/Graphic";
    static constexpr const char* SmallBigFace = "CBM64 Small/Big";

    // Read access for the handlers of later commands and for tests.
    TD64StringGrid* LeftView() const { return View1; }
    TD64StringGrid* RightView() const { return View2; }
    QLabel* DiskNameLabel(int Side) const;
    QString StatusText(int Side) const;
    QLabel* EmulatorPanel() const { return paEmulator; }
    std::shared_ptr<TC64Disk> Disk(int Side) const;
    int ActiveSide() const;
    int CurrentEmulatorCode() const { return CurrentEmulator; }
    const TEmulatorSettings& CCS64() const { return CCS64Settings; }
    const TEmulatorSettings& WinVice() const { return WinViceSettings; }
    const TEmulatorSettings& Frodo() const { return FrodoSettings; }
    const TViceSettings& Vice() const { return ViceSettings; }
    // The face the panes are drawn in (changes with the font mode).
    QString PaneFace() const;

    // Menu items by side (1 or 2) where a command has one per side.
    QMenu* SideMenu(int Side) const;
    QAction* DosEmulationItem(int Side, TDosEmulation Emulation) const;
    QAction* SoftWriteItem(int Side) const;
    QAction* UndoItem() const { return Undo1; }
    QAction* RedoItem() const { return Redo1; }

    // Public handlers (bound to menu items, tool buttons, grids and labels).
    void NewD641Click();
    void OpenD641Click();
    void CloseD641Click();
    void Close1Click();
    void DiskName1Click();
    void DiskName2Click();
    void View1Enter();
    void View2Enter();
    void View1FileDragged(TD64StringGrid* Sender, const QString& FileName);
    void SwitchDosEmu(QAction* Item);
    void SetSoftWrite(QAction* Item);
    void ChangeFontMode(QAction* Item);
    void ShortcutsClick();
    void FormResize();
    // File commands
    void Copy1Click();
    void Move1Click();
    void Rename1Click();
    void SelectAll1Click();
    void Scratch1Click();
    void DeleteButtonClick();
    // Tag 0: the current row (save dialog), 1: the selection, 2: every file (folder picker).
    void ExporttoPRG2Click(int Tag);
    // Emulator commands and the About box (MainEmulator.cpp).
    void RunClick();
    void BootDisk1Click();
    void View1DblClick(TD64StringGrid* Sender);
    void View1KeyPress(TD64StringGrid* Sender, QChar Key);
    void EmuSelection(QAction* Item);
    void paEmulatorClick();
    void Options1Click();
    void AboutClick();
    // Disk and file properties, the BAM view.
    void PropertiesClick(QAction* Sender);
    void Properties1Click();
    void ViewBAMClick(QAction* Sender);
    // The file viewer (MainView.cpp).
    void ViewFile1Click();

    // Directory order, in-place rename, dragging rows, live reload (MainReorder.cpp).
    // Move1Click moves the selected files one place up, MoveDown1Click one place down.
    void MoveDown1Click();
    // Tag 0: by name, 1: by type, 2: by size.
    void SortClick(int Tag);
    void Reload1Click();
    void View1NameEdited(TD64StringGrid* Sender, int Row, const std::string& Name);
    void View1DragStarting(TD64StringGrid* Sender, QMimeData* Data);
    void View1RowsDropped(TD64StringGrid* Target, TD64StringGrid* Source, const TIntegerArray& Rows, int Row);
    // The host format Export and dragging rows out write: plain by type, or PC64.
    TExportFormat ExportFormat() const;
    // Undo and redo of the last change to any image shown (MainUndo.cpp).
    void UndoClick();
    void RedoClick();
    // Validate and Unscratch of a side (MainValidate.cpp).
    void ValidateClick(QAction* Sender);
    void UnscratchClick(QAction* Sender);

    // Opens an image into a side (1 or 2) as choosing it after Alt+F1 or Alt+F2 does: the
    // same messages, row 1 selected. For images named on the command line.
    void OpenImage(int Side, const QString& FileName);

    // Runs the show handler on the first show, before Qt creates and maps the window.
    void setVisible(bool Visible) override;

  protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void moveEvent(QMoveEvent* Event) override;

  private:
    void FormCreate();
    void FormShow();
    void FormClose();
    // True when the key release was one of the window keys and has been handled.
    bool FormKeyUp(int Key, Qt::KeyboardModifiers Modifiers);

    void BuildActions();
    void BuildMenus();
    void BuildToolBars();
    void BuildPanes();
    void BuildStatusBar();

    void ActivateLeft();
    void ActivateRight();
    void ShowFocus(int Side);
    void SetCaptionFor(int Side);

    // The side a side menu item names by its tag; the active side for any other sender.
    int CommandSide(const QAction* Sender) const;

    void OpenDisk(int Side, const QString& FileName);
    void CloseDisk(int Side);
    void RefreshSide(int Side);
    // Rebuilds a side after its disk changed, and the other side too when it shows
    // the same disk object; the acting side is rebuilt last so it keeps the focus.
    void RefreshChangedSide(int Side);
    void AddDirEntry(const TC64DirRecord& Record);
    void OpenThroughDialog(int Side);
    // The dialog's part once a file is chosen: the side emptied, opened, row 1 selected.
    void OpenChosenFile(int Side, const QString& FileName);
    void ApplyColumnWidths();

    // Scratches (or, with Delete, wipes) the active side's selected files after a question.
    void ScratchSelected(bool Delete);
    void ExportFiles(int Tag);
    // The View item (F3): in the File menu after Properties, and in the popup.
    void BuildViewItems(QMenu* FileMenu);

    void LoadSettings();
    // Sets frame position (when Positioned) and client size, kept on the screen.
    void ApplyBounds(const QRect& Bounds, bool Positioned);
    QMargins FrameMargins() const;
    void SaveSettings();
    void ShowCurrentEmulator();
    // Hands the focused pane's image to the current emulator: boots it, or runs the
    // file in the grid's current row.
    void LaunchEmulator(bool Boot);
    // Shows why each emulator that ended within its first seconds failed.
    void ShowEarlyFailures();

    // Runs a handler so that no exception reaches the event loop; an image that another
    // program changed is read again into the panes that show it.
    void Guarded(const std::function<void()>& Handler);
    void ReloadImage(const std::string& FileName);
    // Runs a change of a side's disk. When it fails, the disk is read again from its file
    // into the panes that show it, so that nothing the file does not hold stays in memory
    // for a later write to carry there, and the error is shown with a line on what the
    // file holds: through the plain message box for the engine's refusals when
    // PlainRefusals, else through the error display. False when the change failed.
    // A change that alters the image is recorded for undo under Command, or under the
    // name of the menu item or key that triggered it.
    bool ChangeDisk(int Side, const std::function<void()>& Change, bool PlainRefusals = false,
                    const QString& Command = {});
    // Replaces a disk object, in every side that shows it, by its file read anew (keeping
    // its DOS emulation) and rebuilds those sides, the active one last; returns the new
    // object. When the file cannot be read, the sides are emptied and a line saying why
    // is added to Message.
    std::shared_ptr<TC64Disk> RereadDisk(const std::shared_ptr<TC64Disk>& Stale, QString& Message);
    // The line added to the message of a failed write: that nothing has been written to
    // the file, or that part of the change has.
    static QString FailedWriteNote(bool NothingWritten);

    // Runs a reorder of a side's disk as one change and selects the files it returns.
    void ReorderSide(int Side, const std::function<std::vector<uint8_t*>()>& Change);
    void MoveSelected(int Step);
    // Selects exactly the rows of these entries; the first becomes the current row.
    void SelectEntries(int Side, const std::vector<uint8_t*>& Entries);
    // Watches the image files the sides show, and only those.
    void WatchShownFiles();
    void ImageFileChanged(const QString& Path);
    void ReloadChangedFiles();
    // Reads a disk again into the sides that show it, keeping their selection (by name),
    // current row and scroll position.
    void ReloadKeepingView(const std::shared_ptr<TC64Disk>& Stale);
    // Undo and redo (MainUndo.cpp): the Edit menu's items, the step recorded after a
    // change, one step taken back or done again, the items' captions.
    void BuildUndoItems(QMenu* EditMenu);
    void RecordChange(const std::shared_ptr<TC64Disk>& Changed, const QString& Command, ByteArray Before);
    QString TriggeringCommand() const;
    void StepHistory(bool Redo);
    void UpdateUndoItems();
    // The side menus' Validate and Unscratch items; what a pane's status line adds for a disk that
    // validate would change or finds damaged ("BAM DIFFERS IN 21 BLOCKS"), empty for none.
    void BuildValidateItems();
    static QString DamageNote(TC64Disk& Disk);

    std::shared_ptr<TC64Disk>& DiskRef(int Side);
    TD64StringGrid* ViewOf(int Side) const;
    void SetStatus(int Side, const QString& Text);

    IUserPrompts& Prompts;
    ISettingsStore& Settings;
    IFontInstaller& Fonts;
    IProcessStarter& Processes;
    ISystemInfo& System;

    std::shared_ptr<TC64Disk> Disk1;
    std::shared_ptr<TC64Disk> Disk2;
    int ListingSide = 1;
    // The side whose disk name was last shown as focused; commands act on it while the
    // focus is outside both grids (in the menu bar after Esc, for one).
    int HighlightedSide = 2;
    bool Shown = false;
    // The bounds were clamped before the window manager framed the window; they are
    // clamped again once the frame is known.
    bool FrameClampPending = false;

    TEmulatorSettings CCS64Settings;
    TEmulatorSettings WinViceSettings;
    TEmulatorSettings FrodoSettings;
    TViceSettings ViceSettings;
    int CurrentEmulator = 0;
    // Runs while a started emulator is in its first seconds.
    QTimer* EmulatorWatch = nullptr;

    TD64StringGrid* View1 = nullptr;
    TD64StringGrid* View2 = nullptr;
    QLabel* DiskName1 = nullptr;
    QLabel* DiskName2 = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QLabel* paEmulator = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolBar* EmulatorBar = nullptr;

    QMenu* miLeft = nullptr;
    QMenu* miRight = nullptr;
    QMenu* PopupMenu1 = nullptr;

    // File menu
    QAction* NewD641 = nullptr;
    QAction* OpenD641 = nullptr;
    QAction* CloseD641 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Move1 = nullptr;
    QAction* Scratch1 = nullptr;
    QAction* Delete1 = nullptr;
    QAction* Rename1 = nullptr;
    QAction* ExporttoPRG1 = nullptr;
    QAction* Properties1 = nullptr;
    QAction* Close1 = nullptr;
    // Popup "Export to PRG" submenu
    QAction* ExportFile1 = nullptr;
    QAction* ExportSelection1 = nullptr;
    QAction* ExportAll1 = nullptr;
    // Edit menu
    QAction* SelectAll1 = nullptr;
    // Emulation menu
    QAction* Run1 = nullptr;
    QAction* BootDisk1 = nullptr;
    QAction* CCS64Win321 = nullptr;
    QAction* WinVice1 = nullptr;
    QAction* Frodo1 = nullptr;
    QAction* Vice1 = nullptr;
    QAction* Options1 = nullptr;
    // Options menu
    QAction* SmallBig1 = nullptr;
    QAction* BigGraphic1 = nullptr;
    QAction* Settings1 = nullptr;
    // Side menus, index 0 left, 1 right
    QAction* DiskProperties[2] = {};
    QAction* ViewBAM[2] = {};
    QAction* DosEmu[2][4] = {};
    QAction* SoftWrite[2] = {};
    // Tool buttons that differ from menu items
    QAction* DiskPropertiesButton = nullptr;
    QAction* ViewBAMButton = nullptr;
    // Directory order and reload
    QAction* MoveDown1 = nullptr;
    QAction* SortByName1 = nullptr;
    QAction* SortByType1 = nullptr;
    QAction* SortBySize1 = nullptr;
    QAction* Reload1 = nullptr;
    QFileSystemWatcher* Watcher = nullptr;
    QTimer* ReloadTimer = nullptr;
    QStringList PendingReloads;
    // The exported copies of the rows last dragged out (kept until the next drag).
    std::unique_ptr<QTemporaryDir> DragFolder;
    // Help menu
    QAction* Shortcuts1 = nullptr;
    QAction* About1 = nullptr;

    // Importing host files, and files whose names are already on the disk (MainImport.cpp).
  public:
    void ImportFiles1Click();
    // A drop of host files on a pane: a disk image dropped without Shift opens there,
    // anything else is imported into that pane's disk (images with all their files).
    void View1FilesDropped(TD64StringGrid* Sender, const QStringList& FileNames, bool Shift);

  private:
    void ImportHostFiles(int Side, const QStringList& FileNames, bool ExpandImages);
    // Copies files of Source into a side's disk, asking about names already there; the
    // files copied before a failure stay. False when the copy failed.
    bool CopyEntries(int Side, TC64Disk& Source, const std::vector<uint8_t*>& Entries);
    bool RefusesWrites(TC64Disk& Disk);

    QAction* ImportFiles1 = nullptr;
    // Checked: exports write PC64 files.
    QAction* ExportPc641 = nullptr;
    // File > View, also in the popup
    QAction* ViewFile1 = nullptr;
    // Undo and redo
    QAction* Undo1 = nullptr;
    QAction* Redo1 = nullptr;
    TUndoHistory History;
    // An undo or redo is writing: its write is not a change to record.
    bool Replaying = false;
    // Side menus, index 0 left, 1 right
    QAction* ValidateItem[2] = {};
    QAction* UnscratchItem[2] = {};
};
