// The add-in's windows in the desktop host: the tree window, the find dialog, the About box and help. The
// editor and the templates are not built yet: each of those commands opens a plain window that says what it
// would show, so that commands run and report.
#pragma once

#include "catalogue/ToolWindows.h"

class DesktopToolWindows : public ToolWindows {
public:
    std::shared_ptr<QorvelTreeWindow> CreateTreeWindow(AddinContext& context) override;
    std::shared_ptr<QueryEditorWindow> CreateEditorWindow(AddinContext& context) override;
    std::shared_ptr<FindDialogWindow> CreateFindDialog(AddinContext& context) override;
    std::shared_ptr<TemplatesWindow> CreateTemplatesWindow(AddinContext& context) override;
    std::shared_ptr<WatcherWindow> CreateWatcherWindow(AddinContext& context) override;
    void ShowAbout(AddinContext& context) override;
    void OpenHelpContents(AddinContext& context, const QString& helpFilePath) override;
};
