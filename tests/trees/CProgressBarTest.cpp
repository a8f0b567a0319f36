#include "platform/InMemoryProgressWindow.h"
#include "trees/CProgressBar.h"

#include <gtest/gtest.h>

namespace {

struct Events {
    explicit Events(CProgressBar& bar) {
        QObject::connect(&bar, &CProgressBar::Cancel, [this] { order += QLatin1Char('C'); });
        QObject::connect(&bar, &CProgressBar::ProgressBarClosed, [this] { order += QLatin1Char('X'); });
    }
    QString order;
};

}  // namespace

TEST(CProgressBar, OpensVisibleAndOnTop) {
    platform::InMemoryProgressWindowFactory windows;
    const auto bar = CProgressBar::create(windows);
    platform::InMemoryProgressWindow& window = *windows.last();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isTopMost());
}

TEST(CProgressBar, LabelTextIsShownOnlyByUpdateWithItsMarkersReplaced) {
    platform::InMemoryProgressWindowFactory windows;
    const auto bar = CProgressBar::create(windows);
    bar->setLabelInfo(QStringLiteral("Step %1 of %2"));
    EXPECT_EQ(windows.last()->labelText(), QString());
    bar->UpdateLabelInfo({3, 7});
    EXPECT_EQ(windows.last()->labelText(), QStringLiteral("Step 3 of 7"));
    EXPECT_EQ(bar->LabelInfo(), QStringLiteral("Step %1 of %2"));
    bar->UpdateLabelInfo();
    EXPECT_EQ(windows.last()->labelText(), QStringLiteral("Step %1 of %2"));
    bar->setLabelInfo(QStringLiteral("%1 %10"));
    bar->UpdateLabelInfo({QStringLiteral("a"), 2, 3, 4, 5, 6, 7, 8, 9, QStringLiteral("j")});
    EXPECT_EQ(windows.last()->labelText(), QStringLiteral("a j"));
}

TEST(CProgressBar, ValueBeyondTheScaleIsIgnoredWithoutFailing) {
    platform::InMemoryProgressWindowFactory windows;
    const auto bar = CProgressBar::create(windows);
    bar->setCurrentValue(400.5f);
    bar->setCurrentValue(1000.5f);
    bar->setCurrentValue(-3);
    EXPECT_FLOAT_EQ(bar->CurrentValue(), 400.5f);
    bar->Dispose();
    bar->setCurrentValue(10);  // after Dispose too
    EXPECT_FLOAT_EQ(bar->CurrentValue(), 0);
}

TEST(CProgressBar, CancelShowsTerminationThenRaisesCancelThenClosed) {
    platform::InMemoryProgressWindowFactory windows;
    auto bar = CProgressBar::create(windows);
    Events events(*bar);
    // The owner drops the controller when it hears of the closing, inside the event.
    QObject::connect(bar.get(), &CProgressBar::ProgressBarClosed, [&bar] { bar.reset(); });
    windows.last()->pressCancel();
    EXPECT_EQ(events.order, QStringLiteral("CX"));
    EXPECT_EQ(windows.last()->labelText(), QStringLiteral("Termination of process..."));
    EXPECT_FALSE(windows.last()->isVisible());
    EXPECT_TRUE(windows.last()->disposed());
    EXPECT_EQ(bar, nullptr);
}

TEST(CProgressBar, ClosingTheWindowRaisesOnlyClosedAndDisposeIsHarmlessTwice) {
    platform::InMemoryProgressWindowFactory windows;
    const auto bar = CProgressBar::create(windows);
    Events events(*bar);
    windows.last()->closeByUser();
    EXPECT_EQ(events.order, QStringLiteral("X"));
    EXPECT_TRUE(windows.last()->disposed());
    bar->Dispose();
    bar->Dispose();
    EXPECT_EQ(events.order, QStringLiteral("X"));

    const auto other = CProgressBar::create(windows);
    Events otherEvents(*other);
    other->Dispose();  // the owner's own Dispose closes the window, which is announced too
    EXPECT_EQ(otherEvents.order, QStringLiteral("X"));
}
