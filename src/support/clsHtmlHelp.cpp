#include "support/clsHtmlHelp.h"

#include "platform/EventPump.h"
#include "platform/HelpViewer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace {

const QString kContentsPage = QStringLiteral("index.html");
const QString kIndexPage = QStringLiteral("a-z.html");
const QString kMapFile = QStringLiteral("topics.map");

// Runs a member's body; a failure ends the member quietly.
template <typename Work>
void Quietly(Work&& work) {
    try {
        work();
    } catch (...) {
    }
}

}  // namespace

clsHtmlHelp::clsHtmlHelp(platform::HelpViewer* viewer, platform::EventPump* events)
    : mViewer(viewer), mEvents(events) {
    Quietly([this] {
        if (mViewer) {
            mCookie = mViewer->initialize();
        }
    });
}

clsHtmlHelp::~clsHtmlHelp() {
    Shutdown();
}

void clsHtmlHelp::Shutdown() {
    CloseAll();
    Quietly([this] {
        if (mViewer) {
            mViewer->uninitialize(mCookie);
        }
    });
    mViewer = nullptr;
    mEvents = nullptr;
}

QHash<int, QString> clsHtmlHelp::ContextMap(const QString& helpFolder) {
    // One line per id: the id, the window or topic it is for, the page; "#" starts a comment.
    QHash<int, QString> map;
    QFile file(QDir(helpFolder).filePath(kMapFile));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return map;
    }
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().section(QLatin1Char('#'), 0, 0).trimmed();
        const QStringList parts = line.split(blanks, Qt::SkipEmptyParts);
        bool number = false;
        const int id = parts.value(0).toInt(&number);
        if (number && parts.size() == 3) {
            map.insert(id, parts.at(2));
        }
    }
    return map;
}

QString clsHtmlHelp::PagePath(const QString& helpFolder, int command, const QString& topic, int contextId) {
    const QDir folder(helpFolder);
    switch (command) {
        case DisplayTopic:
            return folder.filePath(topic.isEmpty() ? kContentsPage : topic);
        case HelpContext: {
            const QString page = contextId == 0 ? QString() : ContextMap(helpFolder).value(contextId);
            return folder.filePath(page.isEmpty() ? kContentsPage : page);
        }
        case DisplayIndex:
        case DisplaySearch:
            return folder.filePath(kIndexPage);
        default:
            return folder.filePath(kContentsPage);
    }
}

void clsHtmlHelp::Open(const QString& file, quintptr owner, int command, const QString& topic,
                       int contextId) {
    Quietly([&] {
        if (!mViewer) {
            return;
        }
        const QString help = file.isEmpty() ? mFile : file;
        const quintptr window = mViewer->showPage(owner, PagePath(help, command, topic, contextId));
        if (window >= 1) {
            mViewer->setTopMost(window);
            mWindows.append({owner, window});
        }
    });
}

void clsHtmlHelp::OpenTOC(const QString& file, quintptr owner) {
    Open(file, owner, DisplayToc, QString(), 0);
}

void clsHtmlHelp::OpenTopic(const QString& topic, const QString& file, quintptr owner) {
    Open(file, owner, DisplayTopic, topic, 0);
}

void clsHtmlHelp::OpenContext(int contextId, const QString& file, quintptr owner) {
    Open(file, owner, contextId == 0 ? DisplayToc : HelpContext, QString(), contextId);
}

void clsHtmlHelp::OpenIndex(const QString& file, quintptr owner) {
    Open(file, owner, DisplayIndex, QString(), 0);
}

void clsHtmlHelp::OpenSearch(const QString& file, quintptr owner) {
    Open(file, owner, DisplaySearch, QString(), 0);
}

void clsHtmlHelp::CloseHelpWindows(quintptr owner) {
    Quietly([&] {
        for (qsizetype i = mWindows.size() - 1; i >= 0; --i) {
            const HelpWindow entry = mWindows.at(i);
            if (owner != 0 && entry.owner != owner) {
                continue;
            }
            if (mViewer && mViewer->windowExists(entry.window)) {
                mViewer->closeWindow(entry.window);
                if (mEvents) {
                    mEvents->processPendingEvents();
                }
            }
            mWindows.removeAt(i);
        }
    });
}
