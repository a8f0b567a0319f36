// The small always-on-top progress window of long builds: a status label, a bar and a Cancel button
// (caption "Process"). Its owner creates it through a ProgressWindowFactory and hands it back with
// dispose(). While shown it is one of the add-in's loaded forms ("frmProgressbar") of the registry it was
// given, so that the error path can take it out of the top-most band while a message is up.
#pragma once

#include "platform/LoadedForms.h"

#include <QObject>
#include <QString>

namespace platform {

class ProgressWindow : public QObject, public LoadedForm {
    Q_OBJECT

public:
    QString formName() const override { return QStringLiteral("frmProgressbar"); }
    void unload() override { close(); }

    virtual QString caption() const = 0;
    virtual QString labelText() const = 0;
    virtual void setLabelText(const QString& text) = 0;

    virtual double minimum() const = 0;
    virtual void setMinimum(double value) = 0;
    virtual double maximum() const = 0;
    virtual void setMaximum(double value) = 0;
    virtual double value() const = 0;
    // A value outside minimum..maximum is refused: false, and the bar keeps its value.
    virtual bool setValue(double value) = 0;

    // Shown without taking the focus.
    virtual void show() = 0;
    virtual bool isVisible() const = 0;
    void setTopMost(bool topMost) override = 0;
    virtual bool isTopMost() const = 0;
    virtual void repaint() = 0;

    // Closes the window; closing raises closing() once, whoever closes it. Implementations register the
    // window as a loaded form in show() and unregister it when it closes.
    virtual void close() = 0;
    // Closes the window if open and gives it up; the owner must not touch it afterwards.
    virtual void dispose() = 0;

signals:
    void cancelClicked();
    void closing();
};

class ProgressWindowFactory {
public:
    virtual ~ProgressWindowFactory() = default;
    virtual ProgressWindow* create() = 0;
};

}  // namespace platform
