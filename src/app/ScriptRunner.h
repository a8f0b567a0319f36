// Drives the host from its command line for checks and for users: selects an object, clicks a control,
// and saves pictures of the windows once the program is idle, then quits.
#pragma once

#include "hostapi/host.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <optional>
#include <vector>

class QWidget;

namespace app {

class MainWindow;

struct Script {
    QString database;
    std::optional<host::ObjectRef> select;
    QString click;
    // After the click, in the order given: text typed key by key, or one key (Qt's name, "Ctrl+End")
    // pressed and released, into the focused widget.
    struct Step {
        bool key = false;
        QString text;
    };
    std::vector<Step> steps;
    QString screenshot;     // FILE.png; empty: stay open
    bool describe = false;  // print the pictures written, each with the rows of its lists
};

class ScriptRunner : public QObject {
    Q_OBJECT
public:
    ScriptRunner(MainWindow& window, Script script);
    // Runs the script from the event loop; the exit code ends the program when a screenshot was asked for.
    void start();
    // The files written.
    const QStringList& written() const { return mWritten; }

signals:
    void failed(const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Opened {
        QPointer<QWidget> window;
        QImage picture;  // taken before a modal window was dismissed
        QStringList description;
    };
    void run();
    QWidget* focusTarget();
    void typeText(QWidget* target, const QString& text);
    void pressKey(QWidget* target, const QString& name);
    void poll();
    void finish();
    Opened* entry(QWidget* window);

    MainWindow& mWindow;
    Script mScript;
    std::vector<Opened> mOpened;
    QTimer mPoll;
    QElapsedTimer mQuiet;  // since the last thing happened
    QElapsedTimer mModalSeen;
    QPointer<QWidget> mModal;
    bool mRunning = false;
    bool mDone = false;
    QStringList mWritten;
};

// Parses KIND:NAME (table, query, form or report); nothing when the kind is unknown or the name empty.
std::optional<host::ObjectRef> parseObject(const QString& text);

}  // namespace app
