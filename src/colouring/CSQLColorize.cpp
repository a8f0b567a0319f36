#include "colouring/CSQLColorize.h"

#include "colouring/ColourPlan.h"
#include "colouring/ColouringOwner.h"
#include "platform/RichTextControl.h"
#include "support/ErrorBoundary.h"

#include <QScopeGuard>

#include <algorithm>

namespace {

const QString kModule = QStringLiteral("CSQLColorize");

// The names under which the error path reports this class's failures.
namespace procedure {
const QString rtbChange = QStringLiteral("rtb_Change");
const QString onlyCurrentLineChanged = QStringLiteral("OnlyCurrentLineChanged");
const QString parseLines = QStringLiteral("ParseLines");
// The line tokenizer reports as the pass over the lines that it is part of.
const QString parseLine = parseLines;
const QString colorizeTemplates = QStringLiteral("ColorizeTemplates");
const QString markUnmatchedBrackets = QStringLiteral("MarkUnmatchedBrackets");
}  // namespace procedure
const QString kCrLf = QStringLiteral("\r\n");

// Class colours as "R,G,B" texts, indexed by token class.
constexpr const char* kClassColourTexts[] = {"0,0,0",       "0,0,0", "0,0,128", "128,0,128",
                                             "128,128,128", "0,0,0", "128,0,0"};

quint32 rgbFromText(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    quint32 rgb = 0;
    for (int i = 0; i < 3 && i < parts.size(); ++i) {
        rgb |= (parts[i].trimmed().toUInt() & 0xFF) << (8 * i);
    }
    return rgb;
}

// Undoes what a colouring pass switched off, also when a failure ends it early, so that later changes
// are coloured again and the control draws.
class PassScope {
public:
    PassScope(platform::RichTextControl& control, bool& suspended, bool& inPass)
        : control_(control), suspended_(suspended), inPass_(inPass) {
        suspended_ = true;
        inPass_ = true;
    }
    ~PassScope() {
        if (redrawOff) {
            try {
                control_.setRedraw(true);
            } catch (...) {
                // The failure that ended the pass has been reported already.
            }
        }
        suspended_ = false;
        inPass_ = false;
    }
    bool redrawOff = false;

private:
    platform::RichTextControl& control_;
    bool& suspended_;
    bool& inPass_;
};

}  // namespace

CSQLColorize::CSQLColorize(platform::Services services, QObject* parent)
    : QObject(parent), mServices(std::move(services)) {
    for (std::size_t k = 0; k < mClassColours.size(); ++k) {
        mClassColours[k] = rgbFromText(QString::fromLatin1(kClassColourTexts[k]));
    }
    mTemplatePrefixes = QStringLiteral("{TABLE {FIELD {VALUE").split(QLatin1Char(' '));
}

CSQLColorize::~CSQLColorize() {
    detach();
}

void CSQLColorize::setRtb(platform::RichTextControl* control) {
    detach();
    mRtb = control;
    if (!control) {
        return;
    }
    connect(control, &platform::RichTextControl::Change, this, &CSQLColorize::rtb_Change);
    connect(control, &platform::RichTextControl::SelChange, this, &CSQLColorize::rtb_SelChange);
    connect(control, &platform::RichTextControl::KeyPress, this, &CSQLColorize::rtb_KeyPress);
}

void CSQLColorize::detach() {
    if (mRtb) {
        disconnect(mRtb, nullptr, this, nullptr);
    }
    mRtb = nullptr;
}

quint32 CSQLColorize::colourOf(int tokenClass) const {
    return tokenClass >= 1 && tokenClass <= 6 ? mClassColours[std::size_t(tokenClass)] : 0;
}

void CSQLColorize::rtb_SelChange() {
    // The pass's own selections are not the user's caret.
    if (mInPass || !mRtb) {
        return;
    }
    mPreviousCaret = mCurrentCaret;
    mCurrentCaret = mRtb->selStart();
}

void CSQLColorize::rtb_KeyPress(int* keyAscii) {
    // Set first, so that the tab written below is deferred like any other key.
    NoRedraw = true;
    if (keyAscii && *keyAscii == 9 && mRtb) {
        *keyAscii = 0;
        mRtb->setSelText(QStringLiteral("\t"));
    }
}

void CSQLColorize::rtb_Change() {
    ErrorBoundary(mServices, procedure::rtbChange, kModule, [this] {
        if (NoRedraw) {
            emit Change(true);
            return;
        }
        emit Change(false);
        if (mSuspended || !mRtb) {
            return;
        }
        platform::RichTextControl& control = *mRtb;
        PassScope pass(control, mSuspended, mInPass);

        const QString text = control.text();
        // The work text is the text with a CR LF appended; searched in place rather than copied.
        const qsizetype length = text.size();
        const bool trailingCr = text.endsWith(QLatin1Char('\r'));
        const auto workIndexOf = [&](qsizetype from) -> qsizetype {
            const qsizetype found = text.indexOf(kCrLf, from);
            if (found >= 0) {
                return found;
            }
            if (trailingCr && from <= length - 1) {
                return length - 1;
            }
            return from <= length ? length : -1;
        };
        const auto workLastIndexOf = [&](qsizetype from) -> qsizetype {
            if (from >= length) {
                return length;
            }
            if (trailingCr && from == length - 1) {
                return length - 1;
            }
            return text.lastIndexOf(kCrLf, from);
        };
        const int selStart = control.selStart();
        const int selLength = control.selLength();
        const int lo = std::min(mPreviousCaret, selStart);
        const int hi = std::max(mPreviousCaret, selStart);

        const bool onlyCurrentLine = OnlyCurrentLineChanged();
        if (!FullParse) {
            FullParse = !onlyCurrentLine;
        }
        int start = 0;
        int end = 0;
        if (FullParse) {
            end = int(text.size());
            FullParse = false;
        } else {
            // From the start of the line before the lower caret to the end of the caret's line.
            if (lo > 1 && lo - 3 >= 0) {
                const qsizetype lineBreak = workLastIndexOf(lo - 3);
                start = lineBreak < 0 ? 0 : int(lineBreak) + 2;
            }
            end = workIndexOf(hi) < 0 ? int(length) + 1 : int(workIndexOf(selStart));
            // The line break appended above is not part of the text; its CR must not join the last word.
            end = std::min(end, int(text.size()));
        }

        const int scroll = control.scrollPosition();
        control.setRedraw(false);
        pass.redrawOff = true;
        // The steps plan their colours; only the characters whose colour changes are written, once.
        {
            ColourPlan& plan = mPlanStore;
            plan.reset(int(text.size()));
            mPlan = &plan;
            const auto forget = qScopeGuard([this] { mPlan = nullptr; });
            if (start < end) {
                ParseLines(text.mid(start, end - start), start);
            }
            ColorizeTemplates();
            MarkUnmatchedBrackets();
            mPlan = nullptr;
            for (const auto& write : plan.writesAgainst(control.colourRuns())) {
                colourRange(write.start, write.length, write.colour);
            }
        }

        control.setSelStart(selStart);
        control.setSelLength(selLength);
        control.refresh();
        control.setRedraw(true);
        pass.redrawOff = false;
        control.refresh();
        if (control.scrollPosition() != scroll) {
            control.setScrollPosition(scroll);
        }
    });
}

bool CSQLColorize::OnlyCurrentLineChanged() {
    bool result = false;
    ErrorBoundary(mServices, procedure::onlyCurrentLineChanged, kModule, [&] {
        const QString selected = mRtb->selText();
        if (selected.contains(kCrLf)) {
            return;
        }
        const QString text = mRtb->text();
        const QString previous = mOwner ? mOwner->PreviousText() : QString();
        const int pos = std::clamp(mRtb->selStart(), 0, int(text.size()));

        // Everything up to the caret's line must be unchanged...
        const int p = int(QStringView(text).left(pos).lastIndexOf(kCrLf)) + 1;
        if (QStringView(previous).left(std::min(p, int(previous.size()))) != QStringView(text).left(p)) {
            return;
        }
        // ...and everything after it.
        const qsizetype lineEnd = text.indexOf(kCrLf, pos);
        const int e = lineEnd < 0 ? 0 : int(lineEnd) - pos + 1;
        const int t = int(text.size()) - (pos + e + 1);
        if (t < 0) {
            return;
        }
        result = QStringView(previous).right(std::min(t, int(previous.size()))) == QStringView(text).right(t);
    });
    return result;
}

void CSQLColorize::ParseLines(const QString& text, int offset) {
    ErrorBoundary(mServices, procedure::parseLines, kModule, [&] {
        const QString all = text + kCrLf;
        const QStringView view(all);
        qsizetype pos = 0;
        while (pos < all.size()) {
            qsizetype lineBreak = all.indexOf(kCrLf, pos);
            if (lineBreak < 0) {
                lineBreak = all.size();
            }
            ParseLine(view.mid(pos, lineBreak - pos), offset + int(pos));
            pos = lineBreak + 2;
        }
    });
}

void CSQLColorize::ParseLine(QStringView line, int linePosition) {
    ErrorBoundary(mServices, procedure::parseLine, kModule, [&] {
        for (const auto& run :
             SqlLineTokenizer::flatten(SqlLineTokenizer::tokenize(line), int(line.size()))) {
            colourRange(linePosition + run.start, run.length, colourOf(int(run.tokenClass)));
        }
    });
}

void CSQLColorize::ColorizeTemplates() {
    ErrorBoundary(mServices, procedure::colorizeTemplates, kModule, [this] {
        const QString text = mRtb->text();
        const quint32 brace = colourOf(int(TokenClass::Brace));
        // Every prefix begins with "{", which matches only itself in any case, and every hit gets the same
        // colour; so one walk over the braces finds the hits of all prefixes. Hits that share their closing
        // brace paint overlapping spans of one colour: their union, from the first hit, is painted once.
        const QStringView view(text);
        qsizetype close = -1;      // the first "}" after the latest hit
        qsizetype spanStart = -1;  // the first hit that closes at `close`
        for (qsizetype p = text.indexOf(QLatin1Char('{')); p >= 0;
             p = text.indexOf(QLatin1Char('{'), p + 1)) {
            const bool hit =
                std::any_of(mTemplatePrefixes.cbegin(), mTemplatePrefixes.cend(), [&](const QString& prefix) {
                    return view.mid(p, prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
                });
            if (!hit) {
                continue;
            }
            if (p >= close) {
                if (spanStart >= 0) {
                    colourRange(int(spanStart), int(close - spanStart + 1), brace);
                }
                close = text.indexOf(QLatin1Char('}'), p + 1);
                if (close < 0) {
                    // No later hit can close either.
                    spanStart = -1;
                    break;
                }
                spanStart = p;
            }
        }
        if (spanStart >= 0) {
            colourRange(int(spanStart), int(close - spanStart + 1), brace);
        }
    });
}

void CSQLColorize::MarkUnmatchedBrackets() {
    ErrorBoundary(mServices, procedure::markUnmatchedBrackets, kModule, [this] {
        const QString text = mRtb->text();
        if (text.isEmpty()) {
            return;
        }
        bool doubleQuote = false;
        bool singleQuote = false;
        bool inSquare = false;
        int squareDepth = 0;
        int parenDepth = 0;
        qsizetype lastSquareClose = -1;
        qsizetype lastParenClose = -1;
        std::vector<qsizetype> strayBrackets;
        std::vector<qsizetype> strayParens;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            // Only quotes, brackets and parentheses matter; most characters are none of them.
            if (c > u']' || (c > u')' && c < u'[') || c < u'"') {
                continue;
            }
            const bool quoted = doubleQuote || singleQuote;
            if (c == u'"') {
                if (!inSquare && !singleQuote) {
                    doubleQuote = !doubleQuote;
                }
            } else if (c == u'\'') {
                if (!inSquare && !doubleQuote) {
                    singleQuote = !singleQuote;
                }
            } else if (c == u'[') {
                if (!quoted) {
                    ++squareDepth;
                    inSquare = true;
                }
            } else if (c == u']') {
                if (!quoted) {
                    --squareDepth;
                    inSquare = false;
                    if (squareDepth == 0) {
                        lastSquareClose = i;
                    } else if (squareDepth < 0) {
                        strayBrackets.push_back(i);
                        squareDepth = 0;
                    }
                }
            } else if (c == u'(') {
                if (!inSquare && !quoted) {
                    ++parenDepth;
                }
            } else if (c == u')') {
                if (!inSquare && !quoted) {
                    --parenDepth;
                }
                // Tested even for a parenthesis inside quotes or brackets.
                if (parenDepth == 0) {
                    lastParenClose = i;
                } else if (parenDepth < 0) {
                    strayParens.push_back(i);
                    parenDepth = 0;
                }
            }
        }
        // The opener searches ignore quotes, so they find the first opener after the last balanced point:
        // the same one for every unclosed level, which is therefore looked for and marked once.
        if (squareDepth > 0) {
            const qsizetype at = text.indexOf(QLatin1Char('['), lastSquareClose + 1);
            if (at >= 0) {
                colourRange(int(at), 1, kUnmatchedColour);
            }
        }
        for (const qsizetype at : strayBrackets) {
            colourRange(int(at), 1, kUnmatchedColour);
        }
        if (parenDepth > 0) {
            const qsizetype at = text.indexOf(QLatin1Char('('), lastParenClose + 1);
            if (at >= 0) {
                colourRange(int(at), 1, kUnmatchedColour);
            }
        }
        for (const qsizetype at : strayParens) {
            colourRange(int(at), 1, kUnmatchedColour);
        }
    });
}

void CSQLColorize::HighlightRefresh() {
    if (!mRtb) {
        return;
    }
    platform::RichTextControl& control = *mRtb;
    control.setRedraw(false);
    const int selStart = control.selStart();
    const int selLength = control.selLength();
    mPreviousCaret = 0;
    // With the caret at the very end the edit cannot be confined to one line, so the whole text is coloured.
    control.setSelStart(int(control.text().size()));
    rtb_Change();
    control.setSelStart(selStart);
    control.setSelLength(selLength);
    control.setRedraw(true);
    control.refresh();
}

void CSQLColorize::Repaint() {
    if (mRtb) {
        mRtb->setRedraw(true);
        mRtb->refresh();
    }
}

void CSQLColorize::colourRange(int start, int length, quint32 colour) {
    if (mPlan) {
        mPlan->paint(start, length, colour);
        return;
    }
    mRtb->setSelStart(start);
    mRtb->setSelLength(length);
    mRtb->setSelColor(colour);
}
