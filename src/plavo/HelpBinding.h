// Binds a window of the add-in to the add-in's help: F1 anywhere in the window (seen before the window's
// controls see it) and the window's Help button, if it has one, open the window's help topic; closing the
// window closes the help windows it opened. A window makes one in its constructor:
//
//     new HelpBinding(*this, context, helptopic::Editor);
#pragma once

#include "support/clsHtmlHelpForForm.h"

#include <QObject>

class AddinContext;
class QAbstractButton;
class QWidget;

class HelpBinding : public QObject {
    Q_OBJECT

public:
    // The binding is a child of the window and goes with it.
    HelpBinding(QWidget& window, AddinContext& context, int helpContextId,
                QAbstractButton* helpButton = nullptr, const QString& topic = QString());
    ~HelpBinding() override;

    // The window's binding: its HelpContextID, its HelpHandler and file.
    clsHtmlHelpForForm& form() { return mForm; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    clsHtmlHelpForForm mForm;
};
