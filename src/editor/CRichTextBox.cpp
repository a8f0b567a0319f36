#include "editor/CRichTextBox.h"

#include "editor/EditorBufferHost.h"
#include "platform/EventPump.h"
#include "platform/Platform.h"
#include "support/ErrorBoundary.h"

#include <algorithm>

namespace {

const QString kModule = QStringLiteral("CRichTextBox");

// The names under which the error path reports this class's failures.
namespace procedure {
const QString richTextBoxChange = QStringLiteral("RichTextBox_Change");
const QString richTextBoxKeyDown = QStringLiteral("RichTextBox_KeyDown");
const QString undo = QStringLiteral("Undo");
const QString redo = QStringLiteral("Redo");
}  // namespace procedure
constexpr int kKeyV = 86;
constexpr int kKeyY = 89;
constexpr int kKeyZ = 90;

}  // namespace

CRichTextBox::CRichTextBox(const AddinContext& context, QObject* parent)
    : QObject(parent), mContext(context) {}

CRichTextBox::~CRichTextBox() {
    detach();
}

bool CRichTextBox::TrapUndo() const {
    return mRecording && mOwner && mOwner->TrapUndo();
}

QString CRichTextBox::Text() const {
    return mControl ? mControl->text() : QString();
}

void CRichTextBox::setText(const QString& text) {
    if (mControl) {
        mControl->setText(text);
    }
}

void CRichTextBox::Init(EditorBufferHost* owner) {
    detach();
    mInitializing = true;
    mOwner = owner;
    mControl = owner ? owner->rtbSQLEditor() : nullptr;
    if (!mControl) {
        mInitializing = false;
        return;
    }
    connect(mControl, &platform::RichTextControl::Change, this, &CRichTextBox::RichTextBox_Change);
    connect(mControl, &platform::RichTextControl::SelChange, this, &CRichTextBox::RichTextBox_SelChange);
    connect(mControl, &platform::RichTextControl::KeyDown, this, &CRichTextBox::RichTextBox_KeyDown);
    setMousePointer(host::MousePointer::Hourglass);
    ResetUndo();
    if (mSelectionStart > 0) {
        mControl->setSelStart(mSelectionStart);
    }
    mDirty = false;
    setMousePointer(host::MousePointer::Default);
    mInitializing = false;
    mControl->setFocus();
    mRecording = true;
    UpdateButtons();
}

void CRichTextBox::detach() {
    if (mControl) {
        disconnect(mControl, nullptr, this, nullptr);
    }
    mControl = nullptr;
    mOwner = nullptr;
    mRecording = false;
    mUndoList.clear();
    mRedoList.clear();
}

void CRichTextBox::ResetUndo() {
    mRedoList.clear();
    mUndoList.clear();
    ReinitUndo();
}

void CRichTextBox::ReinitUndo() {
    mRedoList.clear();
    TakeSnapshot();
}

void CRichTextBox::TakeSnapshot() {
    if (mControl) {
        mUndoList.push_back(CUndoElement::of(*mControl));
    }
}

void CRichTextBox::UpdateButtons() {
    if (!TrapUndo()) {
        return;
    }
    const bool canUndo = mUndoList.size() >= 2;
    mOwner->setToolbarButtonEnabled(QStringLiteral("Undo"), canUndo);
    mOwner->setToolbarButtonEnabled(QStringLiteral("Save"), canUndo);
    mOwner->setToolbarButtonEnabled(QStringLiteral("Redo"), !mRedoList.empty());
    mDirty = canUndo;
}

void CRichTextBox::RichTextBox_Change() {
    ErrorBoundary(mContext.services(), procedure::richTextBoxChange, kModule, [this] {
        if (mInitializing || !TrapUndo()) {
            UpdateButtons();
            return;
        }
        mDirty = true;
        mRedoList.clear();
        TakeSnapshot();
        UpdateButtons();
    });
}

void CRichTextBox::RichTextBox_SelChange() {
    UpdateButtons();
}

void CRichTextBox::RichTextBox_KeyDown(int* keyCode, int shift) {
    if (!keyCode || !(shift & platform::vbCtrlMask)) {
        return;
    }
    switch (*keyCode) {
        case kKeyV:
            *keyCode = 0;
            // A plain-text paste in two recorded writes; the control's own paste would bring formatting.
            ErrorBoundary(mContext.services(), procedure::richTextBoxKeyDown, kModule, [this] {
                const QString pasted = mOwner ? mOwner->clipboardText() : QString();
                if (mControl && mControl->selLength() > 0) {
                    mControl->setSelText(QString());
                }
                if (mControl && !pasted.isEmpty()) {
                    mControl->setSelText(pasted);
                }
            });
            break;
        case kKeyZ:
            *keyCode = 0;
            Undo();
            break;
        case kKeyY:
            *keyCode = 0;
            Redo();
            break;
        default:
            break;
    }
}

void CRichTextBox::Undo() {
    if (mUndoList.size() >= 2 && TrapUndo()) {
        Step(procedure::undo, mUndoList[mUndoList.size() - 2], mUndoList, mRedoList);
    } else {
        mRecording = mControl != nullptr;
        if (mControl) {
            mControl->setFocus();
        }
        UpdateButtons();
    }
}

void CRichTextBox::Redo() {
    if (!mRedoList.empty() && TrapUndo()) {
        Step(procedure::redo, mRedoList.back(), mRedoList, mUndoList);
    } else {
        mRecording = mControl != nullptr;
        if (mControl) {
            mControl->setFocus();
        }
        UpdateButtons();
    }
}

void CRichTextBox::Step(const QString& procedure, const CUndoElement& target, std::vector<CUndoElement>& from,
                        std::vector<CUndoElement>& to) {
    // Copied: the lists change below.
    const CUndoElement restored = target;
    bool locked = false;
    const bool done = ErrorBoundary(mContext.services(), procedure, kModule, [&] {
        mRecording = false;
        platform::RichTextControl& control = *mControl;
        const int caret = FirstDifference(control.text(), restored.Text);
        control.lockWindowUpdate(true);
        locked = true;
        control.setTextRTF(restored.TextRTF);
        if (auto* events = mContext.services().events) {
            events->processPendingEvents();
        }
        control.setSelStart(caret);
        control.lockWindowUpdate(false);
        locked = false;
        to.push_back(std::move(from.back()));
        from.pop_back();
    });
    // Also after a failure, so the window keeps recording and drawing.
    mRecording = true;
    if (!done) {
        if (locked && mControl) {
            ErrorBoundary(mContext.services(), procedure, kModule,
                          [this] { mControl->lockWindowUpdate(false); });
        }
        return;
    }
    mControl->setFocus();
    UpdateButtons();
}

int CRichTextBox::FirstDifference(const QString& current, const QString& target) {
    if (current.isEmpty() || target.isEmpty()) {
        return 0;
    }
    const qsizetype shorter = std::min(current.size(), target.size());
    const auto [at, unused] = std::mismatch(current.begin(), current.begin() + shorter, target.begin());
    Q_UNUSED(unused);
    return int(at - current.begin());
}

void CRichTextBox::setMousePointer(host::MousePointer pointer) {
    if (auto* application = mContext.application()) {
        application->screen().setMousePointer(pointer);
    }
}
