// The add-in's windows in the desktop host: the tree window, the SQL editor, the find dialog, the templates,
// the About box and help. The editor's fields dialog is not built yet: it opens a plain window that says what
// it would show, so that the command runs and reports.
#pragma once

#include "catalogue/ToolWindows.h"

class DesktopToolWindows : public ToolWindows {
public:
    std::shared_ptr<QorvelTreeWindow> CreateTreeWindow(AddinContext& context) override;
    std::shared_ptr<QueryEditorWindow> CreateEditorWindow(AddinContext& context) override;
    std::shared_ptr<FindDialogWindow> CreateFindDialog(AddinContext& context) override;
    std::shared_ptr<TemplatesWindow> CreateTemplatesWindow(AddinContext& context) override;
    std::shared_ptr<FieldsWindow> CreateFieldsDialog(AddinContext& context, frmEditor& editor) override;
    std::shared_ptr<WatcherWindow> CreateWatcherWindow(AddinContext& context) override;
    void ShowAbout(AddinContext& context) override;
    void OpenHelpContents(AddinContext& context, const QString& helpFilePath) override;
};
