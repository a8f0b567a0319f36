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
    return Recording && Owner && Owner->TrapUndo();
}

QString CRichTextBox::Text() const {
    return RichTextBox ? RichTextBox->text() : QString();
}

void CRichTextBox::setText(const QString& text) {
    if (RichTextBox) {
        RichTextBox->setText(text);
    }
}

void CRichTextBox::Init(EditorBufferHost* owner) {
    detach();
    Initializing = true;
    Owner = owner;
    RichTextBox = owner ? owner->rtbSQLEditor() : nullptr;
    if (!RichTextBox) {
        Initializing = false;
        return;
    }
    connect(RichTextBox, &platform::RichTextControl::Change, this, &CRichTextBox::RichTextBox_Change);
    connect(RichTextBox, &platform::RichTextControl::SelChange, this, &CRichTextBox::RichTextBox_SelChange);
    connect(RichTextBox, &platform::RichTextControl::KeyDown, this, &CRichTextBox::RichTextBox_KeyDown);
    setMousePointer(host::MousePointer::Hourglass);
    ResetUndo();
    if (SelControlStart > 0) {
        RichTextBox->setSelStart(SelControlStart);
    }
    mDirty = false;
    setMousePointer(host::MousePointer::Default);
    Initializing = false;
    RichTextBox->setFocus();
    Recording = true;
    UpdateButtons();
}

void CRichTextBox::detach() {
    if (RichTextBox) {
        disconnect(RichTextBox, nullptr, this, nullptr);
    }
    RichTextBox = nullptr;
    Owner = nullptr;
    Recording = false;
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
    if (RichTextBox) {
        mUndoList.push_back(CUndoElement::of(*RichTextBox));
    }
}

void CRichTextBox::UpdateButtons() {
    if (!TrapUndo()) {
        return;
    }
    const bool canUndo = mUndoList.size() >= 2;
    Owner->setToolbarButtonEnabled(QStringLiteral("Undo"), canUndo);
    Owner->setToolbarButtonEnabled(QStringLiteral("Save"), canUndo);
    Owner->setToolbarButtonEnabled(QStringLiteral("Redo"), !mRedoList.empty());
    mDirty = canUndo;
}

void CRichTextBox::RichTextBox_Change() {
    ErrorBoundary(mContext.services(), procedure::richTextBoxChange, kModule, [this] {
        if (Initializing || !TrapUndo()) {
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
                const QString pasted = Owner ? Owner->clipboardText() : QString();
                if (RichTextBox && RichTextBox->selLength() > 0) {
                    RichTextBox->setSelText(QString());
                }
                if (RichTextBox && !pasted.isEmpty()) {
                    RichTextBox->setSelText(pasted);
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
        Recording = RichTextBox != nullptr;
        if (RichTextBox) {
            RichTextBox->setFocus();
        }
        UpdateButtons();
    }
}

void CRichTextBox::Redo() {
    if (!mRedoList.empty() && TrapUndo()) {
        Step(procedure::redo, mRedoList.back(), mRedoList, mUndoList);
    } else {
        Recording = RichTextBox != nullptr;
        if (RichTextBox) {
            RichTextBox->setFocus();
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
        Recording = false;
        platform::RichTextControl& control = *RichTextBox;
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
    Recording = true;
    if (!done) {
        if (locked && RichTextBox) {
            ErrorBoundary(mContext.services(), procedure, kModule,
                          [this] { RichTextBox->lockWindowUpdate(false); });
        }
        return;
    }
    RichTextBox->setFocus();
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
