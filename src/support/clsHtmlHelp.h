// The add-in's one help object: every help request goes through it. It shows pages of the help (a folder
// of HTML pages with index.html as its contents page and topics.map mapping context ids to pages) through
// the platform's help viewer, and remembers which help window it opened for which window of the add-in,
// so that closing a window closes its help. A failure inside a member ends it without a message: a missing
// help never troubles the tool that asked for it.
#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace platform {
class EventPump;
class HelpViewer;
}  // namespace platform

class clsHtmlHelp {
public:
    // The help system's commands.
    enum Command {
        DisplayTopic = 0,
        DisplayToc = 1,
        DisplayIndex = 2,
        DisplaySearch = 3,
        HelpContext = 15,
        Initialize = 28,
        Uninitialize = 29
    };

    struct HelpWindow {
        quintptr owner;
        quintptr window;
    };

    // Without a viewer every Open shows nothing.
    explicit clsHtmlHelp(platform::HelpViewer* viewer, platform::EventPump* events = nullptr);
    ~clsHtmlHelp();
    clsHtmlHelp(const clsHtmlHelp&) = delete;
    clsHtmlHelp& operator=(const clsHtmlHelp&) = delete;

    // The help used when a call names none (an empty file below).
    void SetFile(const QString& path) { mFile = path; }
    QString File() const { return mFile; }

    void OpenTOC(const QString& file = QString(), quintptr owner = 0);
    // topic: a page of the help, optionally with "#anchor" ("trees.html#exports").
    void OpenTopic(const QString& topic, const QString& file = QString(), quintptr owner = 0);
    // The page mapped to the context id; 0 (or an id the help does not map) shows the contents page.
    void OpenContext(int contextId, const QString& file = QString(), quintptr owner = 0);
    // Closes the help windows opened for the owner; 0 closes all.
    void CloseHelpWindows(quintptr owner);
    void CloseAll() { CloseHelpWindows(0); }
    void OpenIndex(const QString& file = QString(), quintptr owner = 0);
    // A folder of pages has no full-text search of its own: the index of terms stands in, and the
    // browser's find searches a page.
    void OpenSearch(const QString& file = QString(), quintptr owner = 0);

    // The add-in goes: its help windows close and the help system is let go; later calls show nothing.
    void Shutdown();

    // The help windows still recorded, oldest first.
    const QList<HelpWindow>& OpenWindows() const { return mWindows; }

    // The page a command shows in the help folder: the contents page (index.html), a topic, the page of a
    // context id (topics.map), or the index of terms (a-z.html).
    static QString PagePath(const QString& helpFolder, int command, const QString& topic = QString(),
                            int contextId = 0);
    // The context ids that the help folder's topics.map names, with their pages.
    static QHash<int, QString> ContextMap(const QString& helpFolder);

private:
    void Open(const QString& file, quintptr owner, int command, const QString& topic, int contextId);

    platform::HelpViewer* mViewer;
    platform::EventPump* mEvents;
    QString mFile;
    QList<HelpWindow> mWindows;
    quintptr mCookie = 0;
};
