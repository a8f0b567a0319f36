// The controller of the progress window: status text, the bar's position, and the user's Cancel and close
// reported as events. The owner holds it through a shared pointer and may drop it inside an event.
#pragma once

#include "platform/ProgressWindow.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

class CProgressBar : public QObject, public std::enable_shared_from_this<CProgressBar> {
    Q_OBJECT

public:
    // Creates the window, shows it on top of everything and binds its button and its closing.
    // The window joins the loaded forms given while it is shown.
    static std::shared_ptr<CProgressBar> create(platform::ProgressWindowFactory& windows,
                                                const std::shared_ptr<platform::LoadedForms>& forms = {});
    ~CProgressBar() override;

    QString LabelInfo() const { return mLabelInfo; }
    // Stores the status text; UpdateLabelInfo shows it.
    void setLabelInfo(const QString& text) { mLabelInfo = text; }
    // Shows the stored text with %1, %2, ... replaced by the arguments in turn.
    void UpdateLabelInfo(const QVariantList& arguments = {});

    float CurrentValue() const;
    // Never fails: a value the bar refuses leaves it where it was.
    void setCurrentValue(float value);
    float MaxValue() const;
    void setMaxValue(float value);

    // Closes and releases the window; harmless when repeated.
    void Dispose();

signals:
    void Cancel();
    void ProgressBarClosed();

private:
    CProgressBar() = default;

    void mCancelButton_Click();
    void mForm_Unload();

    platform::ProgressWindow* mForm = nullptr;
    QString mLabelInfo;
};
