// Either rich-text control with the editor's helpers on it, driven the way a user would, so that the
// colouring and undo tests run against both implementations.
#pragma once

#include "catalogue/AddinContext.h"
#include "editor/HeadlessEditor.h"
#include "platform/InMemoryRichTextControl.h"
#include "platform/InMemoryTimer.h"
#include "platform/QtRichTextControl.h"
#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

#include <QList>
#include <QString>

#include <memory>
#include <string>

namespace testing_support {

enum class ControlKind { Memory, Qt };

inline std::string kindName(const ::testing::TestParamInfo<ControlKind>& info) {
    switch (info.param) {
        case ControlKind::Memory:
            return "Memory";
        case ControlKind::Qt:
            return "Qt";
    }
    return "Unknown";
}

class ControlHarness {
public:
    virtual ~ControlHarness() = default;
    virtual platform::RichTextControl& control() = 0;
    // Types each character as key presses.
    virtual void type(const QString& text) = 0;
    // A key without a character (a letter key with Ctrl, here).
    virtual void pressKey(int keyCode, int shift) = 0;
    virtual QList<platform::ColourRun> colourRuns() const = 0;
    virtual quint32 colourAt(int position) const = 0;

    static std::unique_ptr<ControlHarness> create(ControlKind kind);
};

class MemoryControlHarness : public ControlHarness {
public:
    platform::RichTextControl& control() override { return control_; }
    void type(const QString& text) override { control_.typeText(text); }
    void pressKey(int keyCode, int shift) override { control_.pressKey(keyCode, shift); }
    QList<platform::ColourRun> colourRuns() const override { return control_.colourRuns(); }
    quint32 colourAt(int position) const override { return control_.colourAt(position); }

private:
    platform::InMemoryRichTextControl control_;
};

// The Qt control in a shown offscreen window, driven with real key events.
class QtControlHarness : public ControlHarness {
public:
    QtControlHarness();
    platform::RichTextControl& control() override { return control_; }
    void type(const QString& text) override;
    void pressKey(int keyCode, int shift) override;
    QList<platform::ColourRun> colourRuns() const override { return control_.snapshot().runs; }
    quint32 colourAt(int position) const override;

private:
    platform::QtRichTextControl control_;
};

inline const auto kAllControls = ::testing::Values(ControlKind::Memory, ControlKind::Qt);

// An editor on one control, as the editor window holds it: colouriser, undo buffer, timer.
class EditorTest : public ::testing::TestWithParam<ControlKind> {
protected:
    EditorTest() : harness(ControlHarness::create(GetParam())), editor(context, harness->control(), timer) {}

    platform::RichTextControl& rtb() { return harness->control(); }
    CSQLColorize& colorizer() { return *editor.colorizer(); }
    CRichTextBox& buffer() { return *editor.buffer(); }
    // Lets the colouring delay pass after the last key.
    void pause() {
        ASSERT_TRUE(timer.isActive());
        ASSERT_EQ(timer.interval(), HeadlessEditor::kColouringDelay);
        timer.fire();
    }

    const AddinContext context{nullptr};
    std::unique_ptr<ControlHarness> harness;
    platform::InMemoryTimer timer;
    HeadlessEditor editor;
};

}  // namespace testing_support
