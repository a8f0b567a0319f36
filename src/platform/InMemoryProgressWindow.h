// The progress window without a screen. Tests (and the command-line tool) can make it press Cancel or close
// itself when the owner writes the bar's value for the n-th time, so a build can be stopped midway.
#pragma once

#include "platform/ProgressWindow.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace platform {

class InMemoryProgressWindow : public ProgressWindow {
    Q_OBJECT

public:
    QString caption() const override;
    QString labelText() const override;
    void setLabelText(const QString& text) override;
    double minimum() const override;
    void setMinimum(double value) override;
    double maximum() const override;
    void setMaximum(double value) override;
    double value() const override;
    bool setValue(double value) override;
    void show() override;
    bool isVisible() const override;
    void setTopMost(bool topMost) override;
    bool isTopMost() const override;
    void repaint() override;
    void close() override;
    void dispose() override;

    // What the user does.
    void pressCancel();
    void closeByUser();
    // Counted from 1 over every setValue() call; 0 never.
    void cancelAtStep(int step) { mCancelAtStep = step; }
    void closeAtStep(int step) { mCloseAtStep = step; }

    int steps() const { return mSteps; }
    bool disposed() const { return mDisposed; }
    // Every label text shown, in order.
    const QStringList& labelHistory() const { return mLabelHistory; }
    // Every value the bar took, in order, with the label shown at the time.
    struct Step {
        double value;
        QString label;
    };
    const std::vector<Step>& valueHistory() const { return mValueHistory; }

private:
    QString mLabel;
    QStringList mLabelHistory;
    std::vector<Step> mValueHistory;
    double mMinimum = 0;
    double mMaximum = 100;
    double mValue = 0;
    bool mVisible = false;
    bool mTopMost = false;
    bool mDisposed = false;
    int mSteps = 0;
    int mCancelAtStep = 0;
    int mCloseAtStep = 0;
};

// Makes in-memory windows and keeps them, so that they can be inspected after their owner gave them up.
class InMemoryProgressWindowFactory : public ProgressWindowFactory {
public:
    ProgressWindow* create() override;

    // Applied to every window made from now on.
    int cancelAtStep = 0;
    int closeAtStep = 0;

    const std::vector<std::unique_ptr<InMemoryProgressWindow>>& windows() const { return mWindows; }
    InMemoryProgressWindow* last() const { return mWindows.empty() ? nullptr : mWindows.back().get(); }

private:
    std::vector<std::unique_ptr<InMemoryProgressWindow>> mWindows;
};

}  // namespace platform
