#include "app/ScriptRunner.h"

#include "app/MainWindow.h"
#include "hostapi/host.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>

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

// The window's name and the rows of the lists it shows, one a line after a tab: what --describe prints.
QStringList describeWindow(QWidget* window) {
    QStringList lines{window->objectName().isEmpty() ? QString::fromLatin1(window->metaObject()->className())
                                                     : window->objectName()};
    for (const QAbstractItemView* view : window->findChildren<QAbstractItemView*>()) {
        const QAbstractItemModel* model = view->model();
        if (!model || !view->isVisibleTo(window)) {
            continue;
        }
        for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
            lines << QLatin1Char('\t') + model->index(row, 0, view->rootIndex()).data().toString();
        }
    }
    return lines;
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
            mOpened.push_back({widget, {}, {}});
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
    for (const Script::Step& step : std::as_const(mScript.steps)) {
        // Each step once the windows of the one before have settled.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < kIdleMs) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        QWidget* target = focusTarget();
        if (!target) {
            emit failed(QStringLiteral("no window has the focus to type into"));
            break;
        }
        if (step.key) {
            pressKey(target, step.text);
        } else {
            typeText(target, step.text);
        }
    }
    mRunning = false;
    mQuiet.restart();
}

// Without a window manager the newest window may not be the active one: its own focus child counts.
QWidget* ScriptRunner::focusTarget() {
    QWidget* target = QApplication::focusWidget();
    for (auto opened = mOpened.rbegin(); !target && opened != mOpened.rend(); ++opened) {
        if (opened->window && opened->window->isVisible()) {
            target = opened->window->focusWidget();
        }
    }
    return target;
}

// Key by key, as a user types.
void ScriptRunner::typeText(QWidget* target, const QString& text) {
    for (const QChar c : text) {
        const bool lineBreak = c == QLatin1Char('\n');
        const int key = lineBreak ? int(Qt::Key_Return) : int(c.toUpper().unicode());
        const QString typed = lineBreak ? QStringLiteral("\r") : QString(c);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, typed);
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
        QApplication::processEvents();
    }
}

// The key's release may open a modal window (the completion list does); poll() takes its picture and
// dismisses it, and the release returns after that.
void ScriptRunner::pressKey(QWidget* target, const QString& name) {
    const QKeyCombination combination = QKeySequence::fromString(name, QKeySequence::PortableText)[0];
    QPointer<QWidget> receiver(target);
    QKeyEvent press(QEvent::KeyPress, int(combination.key()), combination.keyboardModifiers());
    QApplication::sendEvent(receiver, &press);
    QApplication::processEvents();
    if (receiver) {
        QKeyEvent release(QEvent::KeyRelease, int(combination.key()), combination.keyboardModifiers());
        QApplication::sendEvent(receiver, &release);
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
            mOpened.push_back({modal, {}, {}});
        }
        entry(modal)->picture = modal->grab().toImage();
        entry(modal)->description = describeWindow(modal);
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
    QStringList description;
    if (mWindow.grab().save(mScript.screenshot)) {
        mWritten << mScript.screenshot;
        description << mScript.screenshot + QLatin1Char('\t') +
                           describeWindow(&mWindow).join(QLatin1Char('\n'));
    } else {
        exitCode = 1;
    }
    int number = 0;
    for (Opened& opened : mOpened) {
        QImage picture = opened.picture;
        QStringList lines = opened.description;
        if (opened.window && opened.window->isVisible()) {
            picture = opened.window->grab().toImage();
            lines = describeWindow(opened.window);
        }
        if (picture.isNull()) {
            continue;
        }
        const QString path = numbered(mScript.screenshot, ++number);
        if (picture.save(path)) {
            mWritten << path;
            description << path + QLatin1Char('\t') + lines.join(QLatin1Char('\n'));
        } else {
            exitCode = 1;
        }
    }
    if (mScript.describe) {
        for (const QString& window : std::as_const(description)) {
            std::fprintf(stdout, "%s\n", window.toUtf8().constData());
        }
        std::fflush(stdout);
    }
    QApplication::exit(exitCode);
}

}  // namespace app
