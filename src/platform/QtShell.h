// The shell through the desktop's services: links and files open in their default programs.
#pragma once

#include "platform/Shell.h"

namespace platform {

class QtShell : public Shell {
public:
    // 42 when the desktop took the target, 2 (file not found) when it did not.
    int open(const QString& target) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
};

}  // namespace platform
