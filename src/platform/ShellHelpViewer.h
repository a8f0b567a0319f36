// Help pages in the desktop's browser, through the shell's open operation. The browser's windows are its
// own: none is reported back, so there is nothing to close later.
#pragma once

#include "platform/HelpViewer.h"

namespace platform {

class Shell;

class ShellHelpViewer : public HelpViewer {
public:
    explicit ShellHelpViewer(Shell& shell) : mShell(shell) {}

    quintptr showPage(quintptr owner, const QString& page) override;
    bool windowExists(quintptr) const override { return false; }
    void closeWindow(quintptr) override {}
    void setTopMost(quintptr) override {}

private:
    Shell& mShell;
};

}  // namespace platform
