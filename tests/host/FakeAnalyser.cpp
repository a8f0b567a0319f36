// A stand-in for the analyser while it is not yet linked: knows "SELECT columns FROM sources [WHERE ...]"
// with plain comma-separated sources, enough for the engine's own tests.
#include "catalogue/host.h"
#include "host/jet/Analyser.h"

#include <QRegularExpression>

namespace jet {

QueryAnalysis analyse(const QString& sql) {
    static const QRegularExpression select(
        QStringLiteral("^\\s*select\\s+(.*?)\\s+from\\s+(.*?)(\\s+where\\s+(.*?))?\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto match = select.match(sql);
    if (!match.hasMatch()) {
        throw host::Error(3129, QStringLiteral("Invalid SQL statement"), QStringLiteral("DAO.QueryDef"));
    }
    if (match.captured(4).trimmed().endsWith(QLatin1Char('='))) {
        throw host::Error(3075, QStringLiteral("Syntax error"), QStringLiteral("DAO.QueryDef"));
    }
    QueryAnalysis analysis;
    analysis.rows.push_back({0, {}, {}, {}, {}});
    analysis.rows.push_back({1, 1, {}, {}, {}});
    for (const QString& source : match.captured(2).split(QLatin1Char(','))) {
        const QStringList parts = source.trimmed().split(
            QRegularExpression(QStringLiteral("\\s+as\\s+"), QRegularExpression::CaseInsensitiveOption));
        analysis.rows.push_back({5, {}, parts[0], parts.size() > 1 ? QVariant(parts[1]) : QVariant(), {}});
    }
    if (match.captured(1).trimmed() != QLatin1String("*")) {
        for (const QString& column : match.captured(1).split(QLatin1Char(','))) {
            const QStringList parts = column.trimmed().split(
                QRegularExpression(QStringLiteral("\\s+as\\s+"), QRegularExpression::CaseInsensitiveOption));
            analysis.rows.push_back(
                {6, {}, parts.size() > 1 ? QVariant(parts[1]) : QVariant(), {}, parts[0]});
        }
    }
    if (match.hasCaptured(4) && !match.captured(4).isEmpty()) {
        analysis.rows.push_back({8, {}, {}, {}, match.captured(4)});
    }
    analysis.rows.push_back({255, {}, {}, {}, {}});
    return analysis;
}

}  // namespace jet
