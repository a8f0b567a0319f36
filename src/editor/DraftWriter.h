// One editor's draft: written at most two seconds after a change while the editor's text differs from its
// saved query, removed when the text is saved, closed without saving, or back to the saved text.
#pragma once

#include "editor/DraftStore.h"

#include <QObject>
#include <QString>

#include <functional>

namespace platform {
class Timer;
}

class DraftWriter : public QObject {
    Q_OBJECT

public:
    static constexpr int kDelay = 2000;

    // The timer is not owned. The editor tells its text, the text last saved (or loaded) and the database
    // it edits in.
    DraftWriter(DraftStore store, platform::Timer& timer, QObject* parent = nullptr);
    ~DraftWriter() override;

    std::function<QString()> currentText;
    std::function<QString()> savedText;
    QString database;
    QString query;  // empty for a new query

    // The id of the draft written; a restored draft's editor keeps writing the one it came from.
    QString id() const { return mId; }
    void setId(const QString& id) { mId = id; }

    // The editor's text changed: the draft is written when the delay is over. Changes during the delay
    // join that write, so typing without a pause is still saved every two seconds.
    void textChanged();
    // Writes (or removes) the draft now; true when the disk holds what the editor holds.
    bool flush();
    // The text was saved under that name: nothing is left to keep.
    void saved(const QString& queryName);
    // The editor closed without saving: its draft goes.
    void discard();

private:
    const DraftStore mStore;
    platform::Timer& mTimer;
    QString mId = DraftStore::NewId();
    bool mWritten = false;
};
