// The add-in's version and the title line its messages carry.
#pragma once

#include <QString>

// The add-in's version, taken from the build ("3.0.26").
QString AppVersionText();
// "VEXOR Qorvel Editor v." and the version.
QString AppTitleAndVersion();
