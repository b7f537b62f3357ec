// TCharacterDlg: the modal character picker ("C64 Characters..."), a TC64CharacterMap with
// the choice of the two C64 faces. It remembers, for the life of the process, where it was
// and which face it showed when it was last closed with one of its buttons.
//
// Callers (the character buttons of the new-disk, disk-properties and file-properties
// dialogs) use PickToClipboard: it shows the picker and, when the user confirms a
// character, puts that byte as a one-character Latin-1 text on the clipboard. ButtonGlyph
// is the picture of those buttons.
#pragma once

#include <QDialog>
#include <QIcon>

#include <cstdint>

class IUserPrompts;
class QFrame;
class QPushButton;
class QRadioButton;
class TC64CharacterMap;

class TCharacterDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TCharacterDlg(QWidget* Owner);

    // The picked code after the dialog closed through one of its buttons; 0 for none.
    uint8_t SelectedChar() const { return FSelectedChar; }

    // The whole caller protocol: shows the picker modally, owned by Owner; on "Copy to
    // Clipboard" with a character selected, replaces the clipboard's text with it.
    static void PickToClipboard(QWidget* Owner, IUserPrompts& Prompts);
    // The lettered cube of the flat buttons that open the picker.
    static QIcon ButtonGlyph();

    QFrame* Bevel1;
    TC64CharacterMap* C64CharacterMap1;
    QRadioButton* Big;
    QRadioButton* Small;
    QPushButton* bOk;
    QPushButton* bCancel;

    void FormShow();
    void BigClick(QObject* Sender);
    void bOkClick(QObject* Sender);
    void C64CharacterMap1Click();
    void C64CharacterMap1DblClick();

    void setVisible(bool Visible) override;

  protected:
    void keyPressEvent(QKeyEvent* Event) override;

  private:
    uint8_t FSelectedChar = 0;
};
