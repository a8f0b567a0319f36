// The pop-up list (frmList) and the text input (frmTextInput) of an editor's text box, as drop-downs at
// its caret: modal until the user accepts or cancels, closed by a click anywhere outside them.
#pragma once

#include "completion/PopUpWindows.h"
#include "completion/frmList.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QTextEdit;

// The list window: it takes exactly the size of its list box, which is widened to its widest row.
class ListPopUp : public QDialog {
    Q_OBJECT
public:
    ListPopUp(const QStringList& rows, QWidget* parent = nullptr);
    // Shown modally at the point; the accepted row's text, empty when cancelled.
    QString choose(const QPoint& position);
    QListWidget* list() const { return mList; }
    const frmList& logic() const { return mLogic; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void hideIfDone();

    frmList mLogic;
    QListWidget* mList;
};

class TextInputPopUp : public QDialog {
    Q_OBJECT
public:
    explicit TextInputPopUp(QWidget* parent = nullptr);
    std::optional<QString> ask(bool numbersOnly, const QPoint& position);
    QLineEdit* box() const { return mBox; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    frmTextInput mLogic;
    QLineEdit* mBox;
};

// The pop-ups of one text box: placed below its caret and kept on the screen.
class QtPopUpWindows : public PopUpWindows {
public:
    explicit QtPopUpWindows(QTextEdit* editor) : mEditor(editor) {}
    QString ShowList(const QStringList& rows) override;
    std::optional<QString> InputText(bool numbersOnly) override;

    // The caret's rectangle on the screen.
    QRect caretRect() const;
    // Where a pop-up of that size goes.
    QPoint placement(const QSize& size) const;

private:
    QTextEdit* mEditor;
};
