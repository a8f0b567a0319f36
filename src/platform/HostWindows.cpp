#include "platform/HostWindows.h"

namespace platform {

namespace {

HostWindows*& installed() {
    static HostWindows* windows = nullptr;
    return windows;
}

}  // namespace

HostWindows* hostWindows() {
    return installed();
}

void setHostWindows(HostWindows* windows) {
    installed() = windows;
}

}  // namespace platform
