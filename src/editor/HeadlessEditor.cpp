#include "editor/HeadlessEditor.h"

#include "platform/Timer.h"

HeadlessEditor::HeadlessEditor(const AddinContext& context, platform::RichTextControl& rtb,
                               platform::Timer& tmr, QObject* parent)
    : QObject(parent), mContext(context), mRtb(rtb), mTmr(tmr) {
    mLoading = true;
    connect(&mTmr, &platform::Timer::timeout, this, &HeadlessEditor::tmr_Timer);
    mFirstTick = true;
    mTmr.start(kFirstTickInterval);
    mLoading = false;
}

HeadlessEditor::~HeadlessEditor() {
    // The buffer first: it reads the colouriser's state through TrapUndo.
    mRTB.reset();
    mSQLColorize.reset();
}

void HeadlessEditor::Initialize(const QString& text) {
    for (const char* key : {"Save", "Undo", "Redo"}) {
        setToolbarButtonEnabled(QString::fromLatin1(key), false);
    }
    mRTB.reset();
    mSQLColorize = std::make_unique<CSQLColorize>(mContext.services());
    mSQLColorize->setOwner(this);
    mSQLColorize->setRtb(&mRtb);
    connect(mSQLColorize.get(), &CSQLColorize::Change, this, &HeadlessEditor::mSQLColorize_Change);
    mSQLColorize->FullParse = true;
    mRtb.setText(text);
    mRTB = std::make_unique<CRichTextBox>(mContext);
    mRTB->setSelControlStart(mRtb.selStart());
    mRTB->Init(this);
}

bool HeadlessEditor::TrapUndo() const {
    return !mLoading && mSQLColorize && mSQLColorize->TrapUndo();
}

QString HeadlessEditor::PreviousText() const {
    if (!mRTB) {
        return QString();
    }
    if (!mRTB->RedoList().empty()) {
        return mRTB->RedoList().back().Text;
    }
    const auto& undo = mRTB->UndoList();
    return undo.size() >= 2 ? undo[undo.size() - 2].Text : QString();
}

void HeadlessEditor::setToolbarButtonEnabled(const QString& key, bool enabled) {
    mButtons.insert(key, enabled);
}

bool HeadlessEditor::toolbarButtonEnabled(const QString& key) const {
    return mButtons.value(key, false);
}

void HeadlessEditor::mSQLColorize_Change(bool deferred) {
    if (deferred) {
        mTmr.start(kColouringDelay);
    } else if (!mFirstTick) {
        // Before the first tick the timer still has the focus to give.
        mTmr.stop();
    }
}

void HeadlessEditor::tmr_Timer() {
    if (mFirstTick) {
        mFirstTick = false;
        mRtb.setFocus();
        if (mTmr.interval() != kColouringDelay) {
            mTmr.stop();
            return;
        }
    }
    mTmr.stop();
    if (mSQLColorize) {
        mSQLColorize->NoRedraw = false;
        mSQLColorize->FullParse = false;
        mSQLColorize->rtb_Change();
    }
}
