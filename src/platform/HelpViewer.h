// The help system: shows a page of the add-in's help for a window of the add-in and tells which of the
// windows it showed are still open, so that the help object can close them with their owner.
#pragma once

#include <QString>

namespace platform {

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Prepares the help system for the add-in; the cookie goes back to uninitialize.
    virtual quintptr initialize() { return 0; }
    virtual void uninitialize(quintptr cookie) { (void)cookie; }
    // Shows the page (a file path, optionally with "#anchor") for the owner window (0: none). Returns the
    // help window's handle, 0 when there is none the add-in can see (a page handed to the desktop's
    // browser) or the page could not be shown.
    virtual quintptr showPage(quintptr owner, const QString& page) = 0;
    virtual bool windowExists(quintptr window) const = 0;
    virtual void closeWindow(quintptr window) = 0;
    // Puts the window above every other, without moving, sizing or activating it.
    virtual void setTopMost(quintptr window) = 0;
};

}  // namespace platform
