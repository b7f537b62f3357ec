// TPetsciiView: lines of C64 characters (display text, see PetsciiText) drawn in a C64
// face, each glyph a square cell. Only the lines in sight are painted, so that a file of
// any length shows at once; the scroll bars move by whole lines and cells.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QStringList>

class TPetsciiView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    // Each glyph pixel two screen pixels wide and high.
    static constexpr int CellSize = 16;

    TPetsciiView(const QString& Face, QWidget* Parent = nullptr);

    void SetLines(QStringList Lines);
    const QStringList& Lines() const { return Text; }
    void SetFace(const QString& Face);
    QString Face() const { return Font.family(); }

  protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

  private:
    void UpdateScrollBars();

    QStringList Text;
    int Columns = 0; // the longest line's length
    QFont Font;
};
