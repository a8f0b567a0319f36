#include "platform/QtProgressWindow.h"

#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace platform {

namespace {

// The bar counts whole steps of a fine scale, so fractional values of the owner still move it.
constexpr double barSteps = 10000;

class ProgressDialog : public QDialog {
public:
    ProgressDialog(QWidget* parent, std::function<void()> onClose)
        : QDialog(parent), mOnClose(std::move(onClose)) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        mOnClose();
        QDialog::closeEvent(event);
    }
    void reject() override { close(); }

private:
    std::function<void()> mOnClose;
};

}  // namespace

QtProgressWindow::QtProgressWindow(QWidget* parent) {
    mDialog = new ProgressDialog(parent, [this] {
        if (mOpen) {
            mOpen = false;
            markUnloaded();
            emit closing();
        }
    });
    mDialog->setWindowTitle(QStringLiteral("Process"));
    mDialog->setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    mDialog->setAttribute(Qt::WA_ShowWithoutActivating);
    mLabel = new QLabel(mDialog);
    mBar = new QProgressBar(mDialog);
    mBar->setRange(0, static_cast<int>(barSteps));
    mBar->setTextVisible(false);
    mCancel = new QPushButton(QStringLiteral("Cancel"), mDialog);
    auto* layout = new QVBoxLayout(mDialog);
    layout->addWidget(mLabel);
    layout->addWidget(mBar);
    layout->addWidget(mCancel, 0, Qt::AlignHCenter);
    mDialog->setMinimumWidth(320);
    connect(mCancel, &QPushButton::clicked, this, &ProgressWindow::cancelClicked);
}

QtProgressWindow::~QtProgressWindow() {
    delete mDialog.data();
}

QString QtProgressWindow::caption() const {
    return mDialog->windowTitle();
}
QString QtProgressWindow::labelText() const {
    return mLabel->text();
}
void QtProgressWindow::setLabelText(const QString& text) {
    mLabel->setText(text);
}

double QtProgressWindow::minimum() const {
    return mMinimum;
}
void QtProgressWindow::setMinimum(double value) {
    mMinimum = value;
    mValue = std::max(mValue, value);
    updateBar();
}
double QtProgressWindow::maximum() const {
    return mMaximum;
}
void QtProgressWindow::setMaximum(double value) {
    mMaximum = value;
    mValue = std::min(mValue, value);
    updateBar();
}
double QtProgressWindow::value() const {
    return mValue;
}

bool QtProgressWindow::setValue(double value) {
    if (value < mMinimum || value > mMaximum) {
        return false;
    }
    mValue = value;
    updateBar();
    return true;
}

void QtProgressWindow::updateBar() {
    const double span = mMaximum - mMinimum;
    mBar->setValue(span > 0 ? static_cast<int>(std::lround((mValue - mMinimum) / span * barSteps)) : 0);
}

void QtProgressWindow::show() {
    mOpen = true;
    markLoaded();
    mDialog->show();
}

bool QtProgressWindow::isVisible() const {
    return mOpen;
}

void QtProgressWindow::setTopMost(bool topMost) {
    const bool wasVisible = mDialog->isVisible();
    mDialog->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    if (wasVisible) {
        mDialog->show();  // changing the flags hides a window
    }
}

bool QtProgressWindow::isTopMost() const {
    return mDialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void QtProgressWindow::repaint() {
    mDialog->repaint();
}

void QtProgressWindow::close() {
    if (mOpen) {
        mDialog->close();
    }
}

void QtProgressWindow::dispose() {
    close();
    // The Cancel button's click may still be on the stack.
    deleteLater();
}

}  // namespace platform
