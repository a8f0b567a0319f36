// The editor's find and replace: the settings the find dialog hands over (FindWhat, ReplaceWith,
// WholeWords) and the three operations on the editor's text box. Searches go forward from the end of the
// selection, ignore case and stop at the end of the text. The editor window owns one and opens its find
// dialog through it.
#pragma once

#include "catalogue/AddinContext.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CV_QueryDataSource;
class frmFindReplaceDlg;

namespace platform {
class RichTextControl;
}

class EditorSearch {
public:
    enum Mode { ModeFind = 0, ModeReplace = 1 };

    // Neither the context nor the box is owned; both outlive the search. The dialog it opened is
    // unloaded with it.
    EditorSearch(AddinContext& context, platform::RichTextControl& box);
    ~EditorSearch();
    EditorSearch(const EditorSearch&) = delete;
    EditorSearch& operator=(const EditorSearch&) = delete;

    QString FindWhat;
    QString ReplaceWith;
    bool WholeWords = false;

    // What the editor gives: the saved query's name (empty for a new query) and its data-source record,
    // from which the dialog's suggestions come; called before every Replace All that changes the text (the
    // colouriser then colours the whole text); the dialog's window, made for a new dialog logic (the
    // desktop shows a Qt dialog, the tests leave it unset and drive the logic).
    std::function<QString()> queryName;
    std::function<const CV_QueryDataSource*()> dataSource;
    std::function<void()> beforeReplaceAll;
    std::function<void(frmFindReplaceDlg&)> showDialog;

    // Opens the dialog in find (0) or replace (1) mode, or brings the open one up in that mode; a single
    // selected word becomes the search text.
    void FindReplace(int mode);
    frmFindReplaceDlg* mfrmFind() const { return mDialog; }
    // The field and source names offered in the dialog's lists (the suggestion array).
    const QStringList& mavarRow() const { return mSuggestions; }

    // Selects the next match after `start` (1-based; 0: after the selection) and sets `start` to it. At the
    // end of the text says so and leaves the selection. False when nothing was selected.
    bool Find(int& start);
    bool Find() {
        int start = 0;
        return Find(start);
    }
    // Replaces the selection when it is the search text, then finds the next match.
    void EditorReplace();
    // Replaces every match and says how many; returns the count (-1 on a failure).
    int ReplaceAll();

    // The next match at or after the 0-based position, -1 when there is none. An empty search text
    // matches nothing.
    static int NextMatch(const QString& text, const QString& findWhat, bool wholeWords, int from);
    // The text with every match replaced, and their number.
    static QString ReplacedText(const QString& text, const QString& findWhat, const QString& replaceWith,
                                bool wholeWords, int* count);
    // The selection with blanks trimmed when it is one word (no blank, no comma, no line break), else empty.
    static QString GetSelectedWord(const platform::RichTextControl& box);

    // Called by the dialog when it unloads.
    void findDialogClosed(frmFindReplaceDlg* dialog);

private:
    void refreshSuggestions();

    AddinContext& mContext;
    platform::RichTextControl& mBox;
    QPointer<frmFindReplaceDlg> mDialog;
    // A dialog without a view (the tests) stays here until the next one or the end of the search.
    std::unique_ptr<frmFindReplaceDlg> mOwnedDialog;
    QStringList mSuggestions;
};
