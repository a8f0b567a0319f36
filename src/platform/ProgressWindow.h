// The small always-on-top progress window of long builds: a status label, a bar and a Cancel button
// (caption "Process"). Its owner creates it through a ProgressWindowFactory and hands it back with
// dispose().
#pragma once

#include <QObject>
#include <QString>

namespace platform {

class ProgressWindow : public QObject {
    Q_OBJECT

public:
    ProgressWindow();
    ~ProgressWindow() override;

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
    virtual void setTopMost(bool topMost) = 0;
    virtual bool isTopMost() const = 0;
    virtual void repaint() = 0;

    // Closes the window; closing raises closing() once, whoever closes it.
    virtual void close() = 0;
    // Closes the window if open and gives it up; the owner must not touch it afterwards.
    virtual void dispose() = 0;

    // While an error message is shown, every open progress window leaves the top-most order so that the
    // message is not hidden behind it.
    static void setAllTopMost(bool topMost);

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
