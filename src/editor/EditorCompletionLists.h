// Completion plugged into an editor window: the placeholder lists, the first placeholder of inserted
// text, the field at the caret for templates, and the field chosen in the fields dialog dropped into the
// text, all on the editor's text box, data sources and colouriser. The pop-ups are the program's: real
// windows at the caret in the desktop, a script in the tests.
#pragma once

#include "completion/CompletionLists.h"
#include "editor/frmEditor.h"

#include <memory>

class EditorCompletionLists : public EditorCompletion, private CompletionOwner {
public:
    EditorCompletionLists(frmEditor& editor, std::unique_ptr<PopUpWindows> popUps);

    void ShowPlaceholderList(frmEditor& editor) override;
    void SelectFirstPlaceholder(frmEditor& editor, const QString& text, int start) override;
    QString GetSelectedField(frmEditor& editor) override;
    // Inserts the field last chosen in the fields dialog at the caret.
    bool AddFields(frmEditor& editor, const QString& dropped) override;

    // The entry selected in the fields dialog (what a drag from it carries); empty once it closes.
    void setChosenField(const QString& field) { mChosenField = field; }
    CompletionLists& lists() { return mLists; }

private:
    platform::RichTextControl* rtbSQLEditor() const override;
    std::unique_ptr<CV_QueryDataSource>& queryDataSource() override;
    CSQLColorize* colorizer() const override;
    PopUpWindows& popUps() override { return *mPopUps; }

    frmEditor& mEditor;
    std::unique_ptr<PopUpWindows> mPopUps;
    CompletionLists mLists;
    QString mChosenField;
};
