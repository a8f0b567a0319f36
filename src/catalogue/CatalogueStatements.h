// Every statement the add-in runs against the engine's system catalogue (MSysObjects, MSysQueries), in one
// place. Statements about one object hold the placeholder "{Name}" between apostrophes; run them through
// CatalogueStatement (mMain.h), which substitutes the name safely.
#pragma once

#include <QString>

namespace catalogue {

// The placeholder replaced by an object's name.
inline const QString kNamePlaceholder = QStringLiteral("{Name}");

// Temporary queries made for subqueries are named with this prefix and a counter.
inline const QString kTemporaryQueryPrefix = QStringLiteral("~TemporaryQuery");

// 1. Output-column aliases of one query.
inline const QString kQueryAliases = QStringLiteral(
    "SELECT MSysObjects.Name, MSysQueries.Attribute, MSysQueries.Name1 FROM MSysObjects INNER JOIN "
    "MSysQueries ON "
    "MSysObjects.Id = MSysQueries.ObjectId WHERE (((MSysQueries.Attribute)=6) AND (Not (MSysQueries.Name1) "
    "Is "
    "Null)) And MSysObjects.[Name]='{Name}';");

// 2. Output columns of one query.
inline const QString kQueryColumns = QStringLiteral(
    "SELECT MSysQueries.Name1, MSysQueries.Name2, MSysQueries.Expression FROM MSysObjects INNER JOIN "
    "MSysQueries "
    "ON MSysObjects.Id = MSysQueries.ObjectId WHERE MSysQueries.Attribute=6 And "
    "MSysObjects.[Name]='{Name}';");

// 3. Sources of one query.
inline const QString kQuerySources = QStringLiteral(
    "SELECT MSysQueries.Name1, MSysQueries.Name2, MSysQueries.Expression FROM MSysObjects INNER JOIN "
    "MSysQueries "
    "ON MSysObjects.Id = MSysQueries.ObjectId WHERE MSysQueries.Attribute=5 And "
    "MSysObjects.[Name]='{Name}';");

// 4. Sources of one query with the object's flags (data sources of a query, Uses tree).
inline const QString kQuerySourcesWithFlags = QStringLiteral(
    "SELECT MSysObjects.[Name], MSysObjects.[Flags], MSysQueries.Name1, MSysQueries.Name2, "
    "MSysQueries.Expression "
    "FROM MSysObjects INNER JOIN MSysQueries ON MSysObjects.Id = MSysQueries.ObjectId WHERE "
    "MSysQueries.Attribute=5 And MSysObjects.[Name]='{Name}';");

// 5. Further tables of one query (the target of an append query).
inline const QString kQueryFurtherTables = QStringLiteral(
    "SELECT MSysQueries.[Name1] FROM MSysObjects INNER JOIN MSysQueries ON MSysObjects.Id = "
    "MSysQueries.ObjectId "
    "WHERE MSysQueries.Attribute=1 and MSysQueries.Flag=3 And MSysObjects.[Name]='{Name}';");

// 6. Every query-to-source pair of the database, once each (Used By tree).
inline const QString kAllQuerySourcePairs = QStringLiteral(
    "SELECT MSysObjects.[Name], MSysQueries.[Name1] FROM MSysObjects INNER JOIN MSysQueries ON "
    "MSysObjects.Id = "
    "MSysQueries.ObjectId Where (((MSysQueries.Attribute) = 5)) GROUP BY MSysObjects.[Name], "
    "MSysQueries.[Name1];");

// 7. Every aliased source of the database (subquery expansion of the trees).
inline const QString kAllAliasedSources = QStringLiteral(
    "SELECT MSysObjects.[Name], MSysQueries.Name1, MSysQueries.Name2, MSysQueries.Expression FROM "
    "MSysObjects "
    "INNER JOIN MSysQueries ON MSysObjects.Id = MSysQueries.ObjectId WHERE (((MSysQueries.Name2) Is Not "
    "Null) AND "
    "((MSysQueries.Attribute)=5));");

// 8. Every source with an expression that belongs to a temporary query (second expansion pass).
inline const QString kTemporaryQuerySubquerySources =
    QStringLiteral(
        "SELECT MSysObjects.[Name], MSysQueries.Name1, MSysQueries.Name2, MSysQueries.Expression FROM "
        "MSysObjects "
        "INNER JOIN MSysQueries ON MSysObjects.Id = MSysQueries.ObjectId WHERE (MSysQueries.Expression Is "
        "Not "
        "Null) AND (MSysQueries.Attribute=5) AND (MSysObjects.[Name] Like '") +
    kTemporaryQueryPrefix + QStringLiteral("*');");

// 9. Count of aliased sources: the host's domain count with this expression, domain and criteria.
inline const QString kAliasedSourceCountExpression = QStringLiteral("*");
inline const QString kAliasedSourceCountDomain = QStringLiteral("MsysQueries");
inline const QString kAliasedSourceCountCriteria = QStringLiteral("[Name2] Is Not Null AND [Attribute]=5");

}  // namespace catalogue
