#include "editor/EditorSearch.h"

#include "catalogue/mMain.h"
#include "datasources/DataSourceFields.h"
#include "editor/frmFindReplaceDlg.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"
#include "platform/RichTextControl.h"
#include "support/ErrorBoundary.h"

namespace {

const QString kModule = QStringLiteral("frmEditor");

bool IsWholeWord(const QString& text, int index, int length) {
    const int after = index + length;
    return !(index > 0 && IsWordCharacter(text.at(index - 1))) &&
           !(after < text.size() && IsWordCharacter(text.at(after)));
}

}  // namespace

EditorSearch::EditorSearch(AddinContext& context, platform::RichTextControl& box)
    : mContext(context), mBox(box) {}

EditorSearch::~EditorSearch() {
    if (mDialog) {
        frmFindReplaceDlg* dialog = mDialog;
        mDialog = nullptr;
        dialog->setParentForm(nullptr);
        dialog->Unload();
    }
}

int EditorSearch::NextMatch(const QString& text, const QString& findWhat, bool wholeWords, int from) {
    if (findWhat.isEmpty()) {
        return -1;
    }
    for (int index = text.indexOf(findWhat, std::max(0, from), Qt::CaseInsensitive); index >= 0;
         index = text.indexOf(findWhat, index + 1, Qt::CaseInsensitive)) {
        // A rejected match is passed by one character, not by its length: a whole word may begin inside it
        // ("a-a" in "ba-a-a").
        if (!wholeWords || IsWholeWord(text, index, findWhat.size())) {
            return index;
        }
    }
    return -1;
}

QString EditorSearch::ReplacedText(const QString& text, const QString& findWhat, const QString& replaceWith,
                                   bool wholeWords, int* count) {
    // Matches are judged on the text as it was: the search never looks into inserted text, and whether a
    // match is a whole word must not depend on what replaced the one before it.
    QString result;
    int replaced = 0;
    int copied = 0;
    for (int index = NextMatch(text, findWhat, wholeWords, 0); index >= 0;
         index = NextMatch(text, findWhat, wholeWords, index + findWhat.size())) {
        result += QStringView(text).mid(copied, index - copied);
        result += replaceWith;
        copied = index + findWhat.size();
        ++replaced;
    }
    result += QStringView(text).mid(copied);
    if (count) {
        *count = replaced;
    }
    return result;
}

QString EditorSearch::GetSelectedWord(const platform::RichTextControl& box) {
    const QString word = box.selText().trimmed();
    if (word.contains(QLatin1Char(' ')) || word.contains(QLatin1Char(',')) ||
        word.contains(QLatin1Char('\r')) || word.contains(QLatin1Char('\n')) ||
        word.contains(QLatin1Char('\t'))) {
        return QString();
    }
    return word;
}

void EditorSearch::refreshSuggestions() {
    const QString name = queryName ? queryName() : QString();
    const CV_QueryDataSource* record = dataSource ? dataSource() : nullptr;
    std::shared_ptr<host::QueryDef> query;
    if (!name.isEmpty() && IsQuery(mContext, name)) {
        query = mContext.currentDatabase()->queryDef(name);
    }
    DataSourceFieldNames(mContext, record, query.get(), mSuggestions);
}

void EditorSearch::FindReplace(int mode) {
    ErrorBoundary(mContext.services(), QStringLiteral("FindReplace"), kModule, [&] {
        const QString word = GetSelectedWord(mBox);
        if (!word.isEmpty()) {
            FindWhat = word;
        }
        refreshSuggestions();
        if (!mDialog) {
            auto* dialog = new frmFindReplaceDlg(mContext);
            if (showDialog) {
                mOwnedDialog.reset();
            } else {
                mOwnedDialog.reset(dialog);
            }
            mDialog = dialog;
            dialog->setParentForm(this);
            dialog->action(mode);
            if (showDialog) {
                showDialog(*dialog);  // the view owns the dialog from here
            }
            dialog->Form_Load();
            dialog->requestFocus();
        } else {
            mDialog->action(mode, word);
            mDialog->requestFocus();
        }
    });
}

void EditorSearch::findDialogClosed(frmFindReplaceDlg* dialog) {
    if (mDialog == dialog) {
        mDialog = nullptr;
    }
}

bool EditorSearch::Find(int& start) {
    return ErrorBoundary(mContext.services(), QStringLiteral("Find"), kModule, false, [&] {
        if (start <= 0) {
            start = mBox.selStart() + mBox.selLength() + 1;
        }
        const int index = NextMatch(mBox.text(), FindWhat, WholeWords, start - 1);
        if (index < 0) {
            platform::showMessage(mContext.services(),
                                  QStringLiteral("QueryEditor has finished searching the SQL string."),
                                  platform::MsgIcon::Information, QStringLiteral("Find"));
            return false;
        }
        start = index + 1;
        mBox.setSelStart(index);
        mBox.setSelLength(FindWhat.size());
        return true;
    });
}

void EditorSearch::EditorReplace() {
    ErrorBoundary(mContext.services(), QStringLiteral("Replace"), kModule, [&] {
        if (mBox.selLength() > 0 && !FindWhat.isEmpty() &&
            mBox.selText().compare(FindWhat, Qt::CaseInsensitive) == 0) {
            const int start = mBox.selStart();
            const QString text = mBox.text();
            // One write of the whole text: one change, one undo step.
            mBox.setText(text.left(start) + ReplaceWith + text.mid(start + mBox.selLength()));
            mBox.setSelStart(start);
            mBox.setSelLength(ReplaceWith.size());
        }
    });
    Find();
}

int EditorSearch::ReplaceAll() {
    return ErrorBoundary(mContext.services(), QStringLiteral("ReplaceAll"), kModule, -1, [&] {
        if (FindWhat.isEmpty()) {
            return 0;
        }
        int count = 0;
        const QString replaced = ReplacedText(mBox.text(), FindWhat, ReplaceWith, WholeWords, &count);
        if (count > 0) {
            if (beforeReplaceAll) {
                beforeReplaceAll();
            }
            mBox.setText(replaced);
        }
        mBox.setSelStart(0);
        mBox.setSelLength(0);
        platform::showMessage(
            mContext.services(),
            QStringLiteral("QueryEditor has completed its search of SQL string and has made ") +
                QString::number(count) + QStringLiteral(" replacement."),
            platform::MsgIcon::Information, QStringLiteral("Replace All"));
        return count;
    });
}
