#include "trees/CProgressBar.h"

namespace {

constexpr float kMinimum = 0;
constexpr float kMaximum = 1000;

}  // namespace

std::shared_ptr<CProgressBar> CProgressBar::create(platform::ProgressWindowFactory& windows,
                                                   const std::shared_ptr<platform::LoadedForms>& forms) {
    std::shared_ptr<CProgressBar> controller(new CProgressBar());
    platform::ProgressWindow* window = windows.create();
    window->setLoadedForms(forms);
    controller->mForm = window;
    QObject::connect(window, &platform::ProgressWindow::cancelClicked, controller.get(),
                     &CProgressBar::mCancelButton_Click);
    QObject::connect(window, &platform::ProgressWindow::closing, controller.get(),
                     &CProgressBar::mForm_Unload);
    window->setMaximum(kMaximum);
    window->setMinimum(kMinimum);
    window->setValue(kMinimum);
    window->show();
    window->setTopMost(true);
    window->repaint();
    return controller;
}

CProgressBar::~CProgressBar() {
    if (mForm) {
        mForm->disconnect(this);  // nobody is left to hear about the closing
        mForm->dispose();
    }
}

void CProgressBar::UpdateLabelInfo(const QVariantList& arguments) {
    QString text = mLabelInfo;
    // From the last, so that %1 does not eat the start of %10.
    for (qsizetype i = arguments.size() - 1; i >= 0; --i) {
        text.replace(QLatin1Char('%') + QString::number(i + 1), arguments.at(i).toString());
    }
    if (mForm) {
        mForm->setLabelText(text);
    }
}

float CProgressBar::CurrentValue() const {
    return mForm ? static_cast<float>(mForm->value()) : 0;
}

void CProgressBar::setCurrentValue(float value) {
    try {
        if (mForm) {
            mForm->setValue(value);
        }
    } catch (...) {
    }
}

float CProgressBar::MaxValue() const {
    return mForm ? static_cast<float>(mForm->maximum()) : 0;
}

void CProgressBar::setMaxValue(float value) {
    if (mForm) {
        mForm->setMaximum(value);
    }
}

void CProgressBar::Dispose() {
    platform::ProgressWindow* window = mForm;
    mForm = nullptr;
    if (!window) {
        return;
    }
    try {
        // Closing still reaches mForm_Unload, which announces it; the window is given up afterwards.
        window->close();
        window->disconnect(this);
        window->dispose();
    } catch (...) {
    }
}

void CProgressBar::mCancelButton_Click() {
    const std::shared_ptr<CProgressBar> keepAlive = weak_from_this().lock();
    setLabelInfo(QStringLiteral("Termination of process..."));
    UpdateLabelInfo();
    emit Cancel();
    Dispose();
}

void CProgressBar::mForm_Unload() {
    const std::shared_ptr<CProgressBar> keepAlive = weak_from_this().lock();
    emit ProgressBarClosed();
    Dispose();
}
