// Where users reach the maker: the support desk that problem reports are mailed to, and the web site
// the About box links to.
#pragma once

#include <QString>

inline const QString kSupportAddress = QStringLiteral("support@example.com");
inline const QString kWebSite = QStringLiteral("https://www.example.com/qorvel");
