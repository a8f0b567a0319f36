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
    mRichTextBox.reset();
    mColorizer.reset();
}

void HeadlessEditor::Initialize(const QString& text) {
    for (const char* key : {"Save", "Undo", "Redo"}) {
        setToolbarButtonEnabled(QString::fromLatin1(key), false);
    }
    mRichTextBox.reset();
    mColorizer = std::make_unique<CSQLColorize>(mContext.services());
    mColorizer->setOwner(this);
    mColorizer->setRtb(&mRtb);
    connect(mColorizer.get(), &CSQLColorize::Change, this, &HeadlessEditor::mSQLColorize_Change);
    mColorizer->FullParse = true;
    mRtb.setText(text);
    mRichTextBox = std::make_unique<CRichTextBox>(mContext);
    mRichTextBox->setSelControlStart(mRtb.selStart());
    mRichTextBox->Init(this);
}

bool HeadlessEditor::TrapUndo() const {
    return !mLoading && mColorizer && mColorizer->TrapUndo();
}

QString HeadlessEditor::PreviousText() const {
    if (!mRichTextBox) {
        return QString();
    }
    if (!mRichTextBox->RedoList().empty()) {
        return mRichTextBox->RedoList().back().Text;
    }
    const auto& undo = mRichTextBox->UndoList();
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
    if (mColorizer) {
        mColorizer->NoRedraw = false;
        mColorizer->FullParse = false;
        mColorizer->rtb_Change();
    }
}
