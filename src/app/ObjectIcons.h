// The host's icons, drawn here so that they look the same on every desktop: object kinds (a query's by
// its type), the ribbon's images by their built-in names, and the add-in toolbar's button faces.
#pragma once

#include "hostapi/host.h"

#include <QIcon>
#include <QString>

namespace app {

// The icon of an object of that type; for a query, its query type picks the picture.
QIcon objectIcon(host::ObjectType objectType, host::QueryType queryType = host::QueryType::Select);
// The folder-like icon of a group of the database window.
QIcon groupIcon(host::ObjectType objectType);
// A ribbon image by its built-in name; a null icon for a name the host does not know.
QIcon imageMso(const QString& name);

}  // namespace app
