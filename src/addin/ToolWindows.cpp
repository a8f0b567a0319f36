#include "addin/ToolWindows.h"

namespace {

ToolWindows*& installed() {
    static ToolWindows* windows = nullptr;
    return windows;
}

}  // namespace

ToolWindows* toolWindows() {
    return installed();
}

void setToolWindows(ToolWindows* windows) {
    installed() = windows;
}
