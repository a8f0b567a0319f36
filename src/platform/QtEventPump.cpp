#include "platform/QtEventPump.h"

#include <QCoreApplication>

namespace platform {

void QtEventPump::processPendingEvents() {
    QCoreApplication::processEvents();
}

}  // namespace platform
