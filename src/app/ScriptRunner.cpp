#include "app/ScriptRunner.h"

#include "app/MainWindow.h"
#include "hostapi/host.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QWidget>

namespace app {

namespace {

// How long nothing must happen before the program counts as idle: longer than two ticks of the add-in's
// 200 ms watch, so that its menus and buttons are in their final state.
constexpr int kIdleMs = 700;
constexpr int kModalSettleMs = 300;

QString numbered(const QString& path, int number) {
    const QFileInfo info(path);
    const QString base = info.path() + QLatin1Char('/') + info.completeBaseName();
    return QStringLiteral("%1-%2.%3")
        .arg(base)
        .arg(number)
        .arg(info.suffix().isEmpty() ? QStringLiteral("png") : info.suffix());
}

}  // namespace

std::optional<host::ObjectRef> parseObject(const QString& text) {
    const int colon = int(text.indexOf(QLatin1Char(':')));
    if (colon <= 0) {
        return std::nullopt;
    }
    const QString kind = text.left(colon).toLower();
    const QString name = text.mid(colon + 1);
    host::ObjectType type;
    if (kind == QLatin1String("table")) {
        type = host::ObjectType::Table;
    } else if (kind == QLatin1String("query")) {
        type = host::ObjectType::Query;
    } else if (kind == QLatin1String("form")) {
        type = host::ObjectType::Form;
    } else if (kind == QLatin1String("report")) {
        type = host::ObjectType::Report;
    } else {
        return std::nullopt;
    }
    if (name.isEmpty()) {
        return std::nullopt;
    }
    return host::ObjectRef{type, name};
}

ScriptRunner::ScriptRunner(MainWindow& window, Script script) : mWindow(window), mScript(std::move(script)) {
    mPoll.setInterval(50);
    connect(&mPoll, &QTimer::timeout, this, &ScriptRunner::poll);
}

void ScriptRunner::start() {
    qApp->installEventFilter(this);
    mQuiet.start();
    if (!mScript.screenshot.isEmpty()) {
        mPoll.start();
    }
    QTimer::singleShot(0, this, &ScriptRunner::run);
}

ScriptRunner::Opened* ScriptRunner::entry(QWidget* window) {
    for (Opened& opened : mOpened) {
        if (opened.window == window) {
            return &opened;
        }
    }
    return nullptr;
}

bool ScriptRunner::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        const Qt::WindowType kind = widget->windowType();
        if (widget->isWindow() && widget != &mWindow && kind != Qt::Popup && kind != Qt::ToolTip &&
            kind != Qt::SplashScreen && !entry(widget)) {
            mOpened.push_back({widget, {}});
        }
        mQuiet.restart();
    }
    return QObject::eventFilter(watched, event);
}

void ScriptRunner::run() {
    mRunning = true;
    mWindow.connectAddins();
    if (!mScript.database.isEmpty()) {
        mWindow.openDatabase(mScript.database);
    }
    if (mScript.select && !mWindow.selectObject(*mScript.select)) {
        emit failed(QStringLiteral("no such object to select: %1").arg(mScript.select->name));
    }
    mQuiet.restart();
    if (!mScript.click.isEmpty()) {
        // Let the add-in's watch bring its buttons up first (hosts before version 12).
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < kIdleMs) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        if (!mWindow.clickControl(mScript.click)) {
            emit failed(QStringLiteral("no enabled control with the id %1").arg(mScript.click));
        }
    }
    if (!mScript.type.isEmpty()) {
        typeText();
    }
    mRunning = false;
    mQuiet.restart();
}

// Key by key into the widget that has the focus once the click's window has settled, as a user types.
void ScriptRunner::typeText() {
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < kIdleMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    // Without a window manager the newest window may not be the active one: its own focus child counts.
    QWidget* target = QApplication::focusWidget();
    for (auto opened = mOpened.rbegin(); !target && opened != mOpened.rend(); ++opened) {
        if (opened->window && opened->window->isVisible()) {
            target = opened->window->focusWidget();
        }
    }
    if (!target) {
        emit failed(QStringLiteral("no window has the focus to type into"));
        return;
    }
    for (const QChar c : std::as_const(mScript.type)) {
        const bool lineBreak = c == QLatin1Char('\n');
        const int key = lineBreak ? int(Qt::Key_Return) : int(c.toUpper().unicode());
        const QString text = lineBreak ? QStringLiteral("\r") : QString(c);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
        QApplication::processEvents();
    }
}

void ScriptRunner::poll() {
    if (mDone) {
        return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (modal) {
        if (modal != mModal) {
            mModal = modal;
            mModalSeen.start();
            return;
        }
        if (mModalSeen.elapsed() < kModalSettleMs) {
            return;
        }
        // A modal window would hold the program: keep its picture and dismiss it.
        if (!entry(modal)) {
            mOpened.push_back({modal, {}});
        }
        entry(modal)->picture = modal->grab().toImage();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
        mModal = nullptr;
        mQuiet.restart();
        return;
    }
    if (!mRunning && mQuiet.elapsed() >= kIdleMs) {
        finish();
    }
}

void ScriptRunner::finish() {
    mDone = true;
    mPoll.stop();
    qApp->removeEventFilter(this);
    int exitCode = 0;
    if (mWindow.grab().save(mScript.screenshot)) {
        mWritten << mScript.screenshot;
    } else {
        exitCode = 1;
    }
    int number = 0;
    for (Opened& opened : mOpened) {
        QImage picture = opened.picture;
        if (opened.window && opened.window->isVisible()) {
            picture = opened.window->grab().toImage();
        }
        if (picture.isNull()) {
            continue;
        }
        const QString path = numbered(mScript.screenshot, ++number);
        if (picture.save(path)) {
            mWritten << path;
        } else {
            exitCode = 1;
        }
    }
    QApplication::exit(exitCode);
}

}  // namespace app
