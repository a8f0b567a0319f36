// A help system that records the pages it was asked to show and gives each a window of its own, which the
// test may close as a user would.
#pragma once

#include "platform/HelpViewer.h"

#include <QList>
#include <QSet>

namespace platform {

struct ShownHelpPage {
    quintptr owner;
    QString page;
    quintptr window;
};

class InMemoryHelpViewer : public HelpViewer {
public:
    // With showsWindows false the viewer behaves as the desktop's browser does: no window comes back.
    explicit InMemoryHelpViewer(bool showsWindows = true) : mShowsWindows(showsWindows) {}

    quintptr initialize() override;
    void uninitialize(quintptr cookie) override;
    quintptr showPage(quintptr owner, const QString& page) override;
    bool windowExists(quintptr window) const override { return mOpen.contains(window); }
    void closeWindow(quintptr window) override;
    void setTopMost(quintptr window) override { mTopMost.insert(window); }

    // The user closes a help window himself.
    void userCloses(quintptr window) { mOpen.remove(window); }

    const QList<ShownHelpPage>& shown() const { return mShown; }
    // The windows that were sent the close message, in order.
    const QList<quintptr>& closeMessages() const { return mCloseMessages; }
    QList<quintptr> openWindows() const;
    bool isTopMost(quintptr window) const { return mTopMost.contains(window); }
    bool initialized() const { return mCookie != 0; }

private:
    bool mShowsWindows;
    quintptr mCookie = 0;
    quintptr mNextWindow = 5001;
    QList<ShownHelpPage> mShown;
    QSet<quintptr> mOpen;
    QSet<quintptr> mTopMost;
    QList<quintptr> mCloseMessages;
};

}  // namespace platform
