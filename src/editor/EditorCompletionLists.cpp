#include "editor/EditorCompletionLists.h"

#include "datasources/ClauseInsertion.h"

EditorCompletionLists::EditorCompletionLists(frmEditor& editor, std::unique_ptr<PopUpWindows> popUps)
    : mEditor(editor), mPopUps(std::move(popUps)), mLists(editor.context(), *this) {}

void EditorCompletionLists::ShowPlaceholderList(frmEditor&) {
    mLists.ShowPlaceholderList();
}

void EditorCompletionLists::SelectFirstPlaceholder(frmEditor&, const QString& text, int start) {
    mLists.SelectFirstPlaceholder(text, start);
}

QString EditorCompletionLists::GetSelectedField(frmEditor&) {
    return mLists.GetSelectedField();
}

bool EditorCompletionLists::AddFields(frmEditor& editor, const QString& dropped) {
    if (mChosenField.isEmpty() || dropped != mChosenField) {
        return false;
    }
    return ::AddFields(editor.context().services(), *editor.rtbSQLEditor(), mChosenField);
}

platform::RichTextControl* EditorCompletionLists::rtbSQLEditor() const {
    return mEditor.rtbSQLEditor();
}

std::unique_ptr<CV_QueryDataSource>& EditorCompletionLists::queryDataSource() {
    return mEditor.QueryDataSourceRecord();
}

CSQLColorize* EditorCompletionLists::colorizer() const {
    return mEditor.colorizer();
}
