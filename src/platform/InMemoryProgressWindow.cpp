#include "platform/InMemoryProgressWindow.h"

namespace platform {

QString InMemoryProgressWindow::caption() const {
    return QStringLiteral("Process");
}
QString InMemoryProgressWindow::labelText() const {
    return mLabel;
}

void InMemoryProgressWindow::setLabelText(const QString& text) {
    mLabel = text;
    mLabelHistory.append(text);
}

double InMemoryProgressWindow::minimum() const {
    return mMinimum;
}
void InMemoryProgressWindow::setMinimum(double value) {
    mMinimum = value;
    mValue = std::max(mValue, value);
}
double InMemoryProgressWindow::maximum() const {
    return mMaximum;
}
void InMemoryProgressWindow::setMaximum(double value) {
    mMaximum = value;
    mValue = std::min(mValue, value);
}
double InMemoryProgressWindow::value() const {
    return mValue;
}

bool InMemoryProgressWindow::setValue(double value) {
    ++mSteps;
    const bool accepted = value >= mMinimum && value <= mMaximum;
    if (accepted) {
        mValue = value;
        mValueHistory.push_back({value, mLabel});
    }
    if (mSteps == mCancelAtStep && mVisible) {
        pressCancel();
    } else if (mSteps == mCloseAtStep && mVisible) {
        closeByUser();
    }
    return accepted;
}

void InMemoryProgressWindow::show() {
    if (!mDisposed) {
        mVisible = true;
        markLoaded();
    }
}
bool InMemoryProgressWindow::isVisible() const {
    return mVisible;
}
void InMemoryProgressWindow::setTopMost(bool topMost) {
    mTopMost = topMost;
}
bool InMemoryProgressWindow::isTopMost() const {
    return mTopMost;
}
void InMemoryProgressWindow::repaint() {}

void InMemoryProgressWindow::close() {
    if (!mVisible) {
        return;
    }
    mVisible = false;
    markUnloaded();
    emit closing();
}

void InMemoryProgressWindow::dispose() {
    close();
    mDisposed = true;
}

void InMemoryProgressWindow::pressCancel() {
    if (mVisible) {
        emit cancelClicked();
    }
}

void InMemoryProgressWindow::closeByUser() {
    close();
}

ProgressWindow* InMemoryProgressWindowFactory::create() {
    mWindows.push_back(std::make_unique<InMemoryProgressWindow>());
    InMemoryProgressWindow* window = mWindows.back().get();
    window->cancelAtStep(cancelAtStep);
    window->closeAtStep(closeAtStep);
    return window;
}

}  // namespace platform
