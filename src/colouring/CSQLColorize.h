// Colours the SQL text of an editor's text box by token class while the user edits it. It owns no text:
// it listens to the control's events and colours ranges by selecting them and setting their colour.
#pragma once

#include "colouring/ColourPlan.h"
#include "colouring/SqlLineTokenizer.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>

#include "platform/Platform.h"
#include "platform/RichTextControl.h"

class ColouringOwner;

class CSQLColorize : public QObject {
    Q_OBJECT

public:
    // A bracket or parenthesis without a partner.
    static constexpr quint32 kUnmatchedColour = 255;

    // Failures are reported through the services' error path.
    explicit CSQLColorize(platform::Services services, QObject* parent = nullptr);
    ~CSQLColorize() override;

    platform::RichTextControl* rtb() const { return mRtb; }
    // Connects the control's Change, SelChange and KeyPress here.
    void setRtb(platform::RichTextControl* control);
    // The window whose PreviousText the colouriser compares with.
    void setOwner(ColouringOwner* owner) { mOwner = owner; }

    // True: the next pass colours the whole text.
    bool FullParse = false;
    // Set by every key press; while True a change is reported as deferred and not coloured.
    bool NoRedraw = false;

    // Writing True suspends colouring; reading gives True when no pass runs and colouring is not suspended.
    bool TrapUndo() const { return !mSuspended; }
    void setTrapUndo(bool suspended) { mSuspended = suspended; }

    // The colour of a token class; any other number gets black.
    quint32 colourOf(int tokenClass) const;

    // Handler of the control's Change; also called directly to colour now.
    void rtb_Change();
    // Colours the whole text now.
    void HighlightRefresh();
    // Switches drawing of the control back on.
    void Repaint();

signals:
    // Raised at the start of every rtb_Change: True when the change is left for later.
    void Change(bool deferred);

private:
    // Stops listening to the control.
    void detach();
    void rtb_SelChange();
    void rtb_KeyPress(int* keyAscii);

    bool OnlyCurrentLineChanged();
    void ParseLines(const QString& text, int offset);
    void ParseLine(QStringView line, int linePosition);
    void ColorizeTemplates();
    void MarkUnmatchedBrackets();
    void colourRange(int start, int length, quint32 colour);

    platform::Services mServices;
    QPointer<platform::RichTextControl> mRtb;
    ColourPlan mPlanStore;        // kept between passes for its memory
    ColourPlan* mPlan = nullptr;  // while a pass collects its colours
    ColouringOwner* mOwner = nullptr;
    std::array<quint32, 7> mClassColours{};
    QStringList mTemplatePrefixes;
    int mPreviousCaret = 0;
    int mCurrentCaret = 0;
    bool mSuspended = false;
    bool mInPass = false;  // a colouring pass is writing its own selections
};
