// A window timer: fires timeout() every interval until stopped, or once when single-shot.
#pragma once

#include <QObject>

namespace platform {

class Timer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~Timer() override = default;

    // (Re)starts with the given interval in milliseconds.
    virtual void start(int msec) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // The interval of the last start, also after a stop.
    virtual int interval() const = 0;
    virtual void setSingleShot(bool singleShot) = 0;
    virtual bool isSingleShot() const = 0;

signals:
    void timeout();
};

}  // namespace platform
