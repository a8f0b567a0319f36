// The progress window as a small tool dialog: status label, progress bar (0 to 1000 steps of the owner's
// scale) and Cancel button.
#pragma once

#include "platform/ProgressWindow.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace platform {

class QtProgressWindow : public ProgressWindow {
    Q_OBJECT

public:
    explicit QtProgressWindow(QWidget* parent = nullptr);
    ~QtProgressWindow() override;

    QDialog* dialog() const { return mDialog; }
    QPushButton* cancelButton() const { return mCancel; }

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

private:
    void updateBar();

    QPointer<QDialog> mDialog;
    QLabel* mLabel;
    QProgressBar* mBar;
    QPushButton* mCancel;
    double mMinimum = 0;
    double mMaximum = 100;
    double mValue = 0;
    bool mOpen = false;
};

class QtProgressWindowFactory : public ProgressWindowFactory {
public:
    explicit QtProgressWindowFactory(QWidget* parent = nullptr) : mParent(parent) {}
    ProgressWindow* create() override { return new QtProgressWindow(mParent); }

private:
    QWidget* mParent;
};

}  // namespace platform
