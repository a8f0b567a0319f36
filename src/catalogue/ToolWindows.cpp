#include "catalogue/ToolWindows.h"

#include "catalogue/AccessApplication.h"

namespace {

ToolWindows*& installed() {
    static ToolWindows* windows = nullptr;
    return windows;
}

}  // namespace

ToolWindows* toolWindows() {
    return installed();
}

ToolWindows& Windows() {
    if (!installed()) {
        RaiseObjectNotSet();
    }
    return *installed();
}

void setToolWindows(ToolWindows* windows) {
    installed() = windows;
}
