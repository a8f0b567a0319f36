#include "platform/QtTimer.h"

namespace platform {

QtTimer::QtTimer(QObject* parent) : Timer(parent) {
    connect(&timer_, &QTimer::timeout, this, &Timer::timeout);
}

}  // namespace platform
