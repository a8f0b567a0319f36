#include "plavo/CompletionPopUps.h"

#include "completion/PopUpPlacement.h"
#include "platform/RichTextControl.h"
#include "platform/VirtualKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The list box's size before it is widened to its rows, and its height in rows at most.
constexpr int kListWidth = 160;
constexpr int kVisibleRows = 12;

QRect screenArea(const QPoint& point) {
    if (QScreen* screen = QGuiApplication::screenAt(point)) {
        return screen->availableGeometry();
    }
    return QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                            : QRect(0, 0, 1024, 768);
}

}  // namespace

ListPopUp::ListPopUp(const QStringList& rows, QWidget* parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint), mLogic(rows), mList(new QListWidget(this)) {
    setObjectName(QStringLiteral("frmList"));
    mList->setObjectName(QStringLiteral("lstList"));
    mList->addItems(rows);
    mList->installEventFilter(this);
    mList->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mList);

    // Widened to the widest row, never narrowed.
    int widest = 0;
    for (const QString& row : rows) {
        widest = std::max(widest, mList->fontMetrics().horizontalAdvance(row));
    }
    const int frame = 2 * mList->frameWidth();
    const int scrollBar = rows.size() > kVisibleRows ? mList->verticalScrollBar()->sizeHint().width() : 0;
    const int width = std::max(kListWidth, widest + frame + scrollBar + 12);
    const int rowHeight = std::max(mList->sizeHintForRow(0), mList->fontMetrics().height());
    const int height = int(std::clamp<qsizetype>(rows.size(), 1, kVisibleRows)) * rowHeight + frame;
    setFixedSize(width, height);

    connect(mList, &QListWidget::itemDoubleClicked, this, [this] {
        mLogic.lstList_DblClick();
        hideIfDone();
    });
    connect(mList, &QListWidget::currentRowChanged, this, [this](int row) { mLogic.setSelectedRow(row); });
}

QString ListPopUp::choose(const QPoint& position) {
    move(position);
    mLogic.Form_Activate();
    mList->setCurrentRow(mLogic.SelectedRow());
    mList->setFocus();
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    exec();
    QApplication::restoreOverrideCursor();
    return mLogic.SelectedText;
}

bool ListPopUp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mList && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int code = platform::virtualKeyFromQtKey(key->key());
        int shift = 0;
        if (key->modifiers() & Qt::ShiftModifier) {
            shift |= platform::vbShiftMask;
        }
        if (key->modifiers() & Qt::ControlModifier) {
            shift |= platform::vbCtrlMask;
        }
        if (code != 0 && mLogic.lstList_KeyDown(code, shift) == 0) {
            hideIfDone();
            return true;
        }
        const int character = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ? 13
                              : key->key() == Qt::Key_Space                               ? 32
                                                                                          : 0;
        if (character != 0 && mLogic.lstList_KeyPress(character) == 0) {
            hideIfDone();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ListPopUp::mousePressEvent(QMouseEvent* event) {
    // A pop-up gets the presses outside it: they cancel.
    const QPoint point = mList->mapFrom(this, event->position().toPoint());
    mLogic.lstList_MouseDown(point.x(), point.y(), mList->width(), mList->height());
    if (!mLogic.Visible()) {
        reject();
        return;
    }
    QDialog::mousePressEvent(event);
}

void ListPopUp::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible()) {
        mLogic.Form_Deactivate();
        hideIfDone();
    }
    QDialog::changeEvent(event);
}

void ListPopUp::hideIfDone() {
    if (!mLogic.Visible() && isVisible()) {
        done(mLogic.SelectedText.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
    }
}

TextInputPopUp::TextInputPopUp(QWidget* parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint), mBox(new QLineEdit(this)) {
    setObjectName(QStringLiteral("frmTextInput"));
    mBox->setObjectName(QStringLiteral("txtInput"));
    mBox->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mBox);
    setFixedSize(kListWidth, mBox->sizeHint().height());
}

std::optional<QString> TextInputPopUp::ask(bool numbersOnly, const QPoint& position) {
    mLogic.Init(numbersOnly);
    mBox->clear();
    move(position);
    mLogic.Form_Activate();
    mBox->setFocus();
    exec();
    return mLogic.Accepted() ? std::optional<QString>(mLogic.InputText) : std::nullopt;
}

bool TextInputPopUp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mBox && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        int character = 0;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            character = 13;
        } else if (key->key() == Qt::Key_Escape) {
            character = 27;
        } else if (key->key() == Qt::Key_Backspace) {
            character = 8;
        } else if (!key->text().isEmpty() && key->text().at(0).unicode() >= 32) {
            character = key->text().at(0).unicode();
        }
        if (character != 0 && mLogic.txtInput_KeyPress(character, mBox->text()) == 0) {
            if (!mLogic.Visible()) {
                done(mLogic.Accepted() ? QDialog::Accepted : QDialog::Rejected);
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TextInputPopUp::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    mLogic.txtInput_MouseDown(point.x(), point.y(), width(), height());
    if (!mLogic.Visible()) {
        reject();
        return;
    }
    QDialog::mousePressEvent(event);
}

QRect QtPopUpWindows::caretRect() const {
    const QRect local = mEditor->cursorRect();
    return QRect(mEditor->viewport()->mapToGlobal(local.topLeft()), local.size());
}

QPoint QtPopUpWindows::placement(const QSize& size) const {
    const QRect caret = caretRect();
    return PopUpPosition(caret, size, screenArea(caret.center()));
}

QString QtPopUpWindows::ShowList(const QStringList& rows) {
    ListPopUp popUp(rows, mEditor);
    const QString chosen = popUp.choose(placement(popUp.size()));
    mEditor->setFocus();
    return chosen;
}

std::optional<QString> QtPopUpWindows::InputText(bool numbersOnly) {
    TextInputPopUp popUp(mEditor);
    const auto text = popUp.ask(numbersOnly, placement(popUp.size()));
    mEditor->setFocus();
    return text;
}
