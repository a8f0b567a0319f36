#include "support/AppVersion.h"

QString AppVersionText() {
    return QStringLiteral("%1.%2.%3")
        .arg(QORVEL_VERSION_MAJOR)
        .arg(QORVEL_VERSION_MINOR)
        .arg(QORVEL_VERSION_PATCH);
}

QString AppTitleAndVersion() {
    return QStringLiteral("VEXOR Qorvel Editor v.") + AppVersionText();
}
