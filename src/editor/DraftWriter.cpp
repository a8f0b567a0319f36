#include "editor/DraftWriter.h"

#include "platform/Timer.h"

DraftWriter::DraftWriter(DraftStore store, platform::Timer& timer, QObject* parent)
    : QObject(parent), mStore(std::move(store)), mTimer(timer) {
    mTimer.setSingleShot(true);
    connect(&mTimer, &platform::Timer::timeout, this, &DraftWriter::flush);
}

// The editor closing says saved() or discard() first; what the editor's text was is not asked here, as the
// editor may be gone already.
DraftWriter::~DraftWriter() {
    mTimer.stop();
}

void DraftWriter::textChanged() {
    if (!mTimer.isActive()) {
        mTimer.start(kDelay);
    }
}

bool DraftWriter::flush() {
    mTimer.stop();
    const QString text = currentText ? currentText() : QString();
    const QString saved = savedText ? savedText() : QString();
    if (text == saved) {
        mWritten = false;
        return mStore.remove(mId);
    }
    Draft draft;
    draft.id = mId;
    draft.database = database;
    draft.query = query;
    draft.text = text;
    draft.time = QDateTime::currentDateTimeUtc();
    mWritten = mStore.write(draft);
    return mWritten;
}

void DraftWriter::saved(const QString& queryName) {
    mTimer.stop();
    query = queryName;
    mStore.remove(mId);
    mWritten = false;
}

void DraftWriter::discard() {
    mTimer.stop();
    mStore.remove(mId);
    mWritten = false;
}
