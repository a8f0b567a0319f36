// The add-in's windows in the desktop host: the tree window, the About box and help. The editor, the find
// dialog and the templates are not built yet: each of those commands opens a plain window that says what it
// would show, so that commands run and report.
#pragma once

#include "catalogue/ToolWindows.h"

class DesktopToolWindows : public ToolWindows {
public:
    std::shared_ptr<QorvelTreeWindow> CreateTreeWindow() override;
    std::shared_ptr<QueryEditorWindow> CreateEditorWindow() override;
    std::shared_ptr<FindDialogWindow> CreateFindDialog() override;
    std::shared_ptr<TemplatesWindow> CreateTemplatesWindow() override;
    std::shared_ptr<WatcherWindow> CreateWatcherWindow() override;
    void ShowAbout() override;
    void OpenHelpContents(const QString& helpFilePath) override;
};
