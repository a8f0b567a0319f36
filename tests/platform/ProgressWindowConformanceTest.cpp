// One suite for both progress windows.
#include "TreeControlTestApplication.h"
#include "platform/InMemoryProgressWindow.h"
#include "platform/QtProgressWindow.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

using platform::ProgressWindow;

template <typename Window>
class ProgressWindowConformance : public ::testing::Test {
protected:
    void SetUp() override {
        ensureTreesTestApplication();
        window = std::make_unique<Window>();
    }
    std::unique_ptr<ProgressWindow> window;
};

using ProgressWindows = ::testing::Types<platform::InMemoryProgressWindow, platform::QtProgressWindow>;
TYPED_TEST_SUITE(ProgressWindowConformance, ProgressWindows);

TYPED_TEST(ProgressWindowConformance, ValuesOutsideTheScaleAreRefused) {
    ProgressWindow& window = *this->window;
    EXPECT_EQ(window.caption(), QStringLiteral("Process"));
    window.setMaximum(1000);
    window.setMinimum(0);
    EXPECT_TRUE(window.setValue(250.5));
    EXPECT_DOUBLE_EQ(window.value(), 250.5);
    EXPECT_FALSE(window.setValue(1000.5));
    EXPECT_FALSE(window.setValue(-1));
    EXPECT_DOUBLE_EQ(window.value(), 250.5);
    EXPECT_TRUE(window.setValue(1000));
    EXPECT_DOUBLE_EQ(window.maximum(), 1000);
    window.setLabelText(QStringLiteral("Enumerating Objects..."));
    EXPECT_EQ(window.labelText(), QStringLiteral("Enumerating Objects..."));
}

TYPED_TEST(ProgressWindowConformance, ClosingIsAnnouncedOnceWhoeverCloses) {
    ProgressWindow& window = *this->window;
    EmissionCount closing(&window, &ProgressWindow::closing);
    EmissionCount cancel(&window, &ProgressWindow::cancelClicked);
    window.close();  // not shown yet: nothing to close
    EXPECT_EQ(closing.count(), 0);
    window.show();
    EXPECT_TRUE(window.isVisible());
    window.close();
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closing.count(), 1);
    EXPECT_EQ(cancel.count(), 0);
}

TYPED_TEST(ProgressWindowConformance, IsALoadedFormWhileOpen) {
    ProgressWindow& window = *this->window;
    const auto forms = std::make_shared<platform::LoadedForms>();
    window.setLoadedForms(forms);
    EXPECT_FALSE(forms->contains(&window));
    window.show();
    ASSERT_TRUE(forms->contains(&window));
    EXPECT_EQ(window.formName(), QStringLiteral("frmProgressbar"));
    window.setTopMost(true);
    EXPECT_TRUE(window.isTopMost());
    window.setTopMost(false);
    EXPECT_FALSE(window.isTopMost());
    EmissionCount closing(&window, &ProgressWindow::closing);
    window.unload();
    EXPECT_EQ(closing.count(), 1);
    EXPECT_FALSE(forms->contains(&window));
}

TEST(InMemoryProgressWindow, PressesCancelOrClosesAtTheStepItWasGiven) {
    platform::InMemoryProgressWindow window;
    EmissionCount cancel(&window, &ProgressWindow::cancelClicked);
    EmissionCount closing(&window, &ProgressWindow::closing);
    window.setMaximum(1000);
    window.cancelAtStep(3);
    window.show();
    window.setValue(1);
    window.setValue(2);
    EXPECT_EQ(cancel.count(), 0);
    window.setValue(3);
    EXPECT_EQ(cancel.count(), 1);
    EXPECT_EQ(closing.count(), 0);  // cancelling is the owner's business; it closes the window itself

    platform::InMemoryProgressWindow other;
    EmissionCount otherClosing(&other, &ProgressWindow::closing);
    other.closeAtStep(2);
    other.show();
    other.setValue(5000);  // refused values count as steps too
    other.setValue(1);
    EXPECT_EQ(otherClosing.count(), 1);
    EXPECT_FALSE(other.isVisible());
}

TEST(QtProgressWindow, CancelButtonRaisesCancelAndTheCloseButtonOnlyClosing) {
    ensureTreesTestApplication();
    platform::QtProgressWindow window;
    EmissionCount cancel(&window, &ProgressWindow::cancelClicked);
    EmissionCount closing(&window, &ProgressWindow::closing);
    window.show();
    window.cancelButton()->click();
    EXPECT_EQ(cancel.count(), 1);
    EXPECT_EQ(closing.count(), 0);
    window.dialog()->close();  // the title bar's close button
    EXPECT_EQ(closing.count(), 1);
    EXPECT_EQ(cancel.count(), 1);
}
