// An editor without a window: one text box with its colouriser, its undo buffer, the colouring timer and
// the toolbar button states. The command-line tool colours text with it, and the tests drive the
// colouriser and the undo buffer through it as the editor window does.
#pragma once

#include "colouring/CSQLColorize.h"
#include "editor/CRichTextBox.h"
#include "editor/EditorBufferHost.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

namespace platform {
class Timer;
}

class HeadlessEditor : public QObject, public EditorBufferHost {
    Q_OBJECT

public:
    // First tick after load, then the pause after the last key before the text is coloured.
    static constexpr int kFirstTickInterval = 100;
    static constexpr int kColouringDelay = 1500;

    // Neither the context, the control nor the timer is owned. Construction is the window's load: the timer
    // starts with the first-tick interval.
    HeadlessEditor(const AddinContext& context, platform::RichTextControl& rtb, platform::Timer& tmr,
                   QObject* parent = nullptr);
    ~HeadlessEditor() override;

    // Loads a text: a new colouriser that colours it all, and a new undo history that starts from it.
    void Initialize(const QString& text);

    CSQLColorize* colorizer() const { return mColorizer.get(); }
    CRichTextBox* buffer() const { return mRichTextBox.get(); }
    bool FirstTick() const { return mFirstTick; }
    void setClipboardText(const QString& text) { mClipboardText = text; }

    platform::RichTextControl* rtbSQLEditor() const override { return &mRtb; }
    bool TrapUndo() const override;
    QString PreviousText() const override;
    void setToolbarButtonEnabled(const QString& key, bool enabled) override;
    bool toolbarButtonEnabled(const QString& key) const override;
    QString clipboardText() const override { return mClipboardText; }

private:
    void mSQLColorize_Change(bool deferred);
    void tmr_Timer();

    const AddinContext& mContext;
    platform::RichTextControl& mRtb;
    platform::Timer& mTmr;
    std::unique_ptr<CSQLColorize> mColorizer;
    std::unique_ptr<CRichTextBox> mRichTextBox;
    QHash<QString, bool> mButtons;
    QString mClipboardText;
    bool mLoading = false;
    bool mFirstTick = false;
};
