// The pop-up list's behaviour, apart from its window: it acts like a drop-down, so Enter, the space bar
// or a double click accept the selected row, and Tab, Escape, a click outside it, losing the focus or
// the window losing activation cancel it. Either way the window hides, which ends its modal show.
#pragma once

#include <QString>
#include <QStringList>

class frmList {
public:
    explicit frmList(QStringList rows = {}) : mRows(std::move(rows)) {}

    const QStringList& Rows() const { return mRows; }
    int SelectedRow() const { return mSelected; }
    void setSelectedRow(int row) { mSelected = row >= 0 && row < mRows.size() ? row : -1; }
    bool Visible() const { return mVisible; }

    // Read by the caller after the window hid.
    QString SelectedText;  // the accepted row's text, blanks trimmed; empty when cancelled
    int SelectedData = 0;
    int LastKeyCode = 0;  // 13 after an accept
    int LastShift = 0;

    // Shown: results cleared and the first row selected.
    void Form_Activate();
    // Returns the key code to pass on (0: swallowed).
    int lstList_KeyDown(int keyCode, int shift);
    // Returns the character to pass on (0: swallowed).
    int lstList_KeyPress(int keyAscii);
    void lstList_DblClick();
    // A press at a point in the list's coordinates; with the mouse captured, presses outside arrive here.
    void lstList_MouseDown(int x, int y, int width, int height);
    void lstList_LostFocus();
    void Form_Deactivate();

private:
    void accept();
    void cancel();

    QStringList mRows;
    int mSelected = -1;
    bool mVisible = false;
};

// The one-line input of a number or a text.
class frmTextInput {
public:
    // Numbers only: every character but the digits is swallowed.
    void Init(bool numbersOnly);

    QString InputText;  // the accepted text, untrimmed; empty when cancelled
    int LastKeyAscii = 0;
    bool Accepted() const { return mAccepted; }
    bool Visible() const { return mVisible; }

    void Form_Activate() { mVisible = true; }
    // The text box's text is given with Enter; returns the character to pass on (0: swallowed).
    int txtInput_KeyPress(int keyAscii, const QString& boxText);
    // A press outside the window cancels as Escape does.
    void txtInput_MouseDown(int x, int y, int width, int height);
    void Form_Deactivate();

private:
    void cancel();

    bool mNumbersOnly = false;
    bool mAccepted = false;
    bool mVisible = false;
};
