#include "editor/DraftStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

namespace {

constexpr int kFormat = 1;
const QString kSuffix = QStringLiteral(".json");

bool validId(const QString& id) {
    // Ids name files: nothing that could leave the folder.
    return !id.isEmpty() && id.size() <= 64 && std::all_of(id.cbegin(), id.cend(), [](QChar c) {
        return c.isLetterOrNumber() || c == u'-' || c == u'_';
    });
}

}  // namespace

DraftStore::DraftStore(QString folder) : mFolder(std::move(folder)) {}

QString DraftStore::DefaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Drafts");
}

QString DraftStore::NewId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QString DraftStore::databaseKey(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

QString DraftStore::fileOf(const QString& id) const {
    return QDir(mFolder).filePath(id + kSuffix);
}

bool DraftStore::write(const Draft& draft) const {
    if (!validId(draft.id) || !QDir().mkpath(mFolder)) {
        return false;
    }
    QJsonObject json;
    json.insert(QStringLiteral("format"), kFormat);
    json.insert(QStringLiteral("database"), databaseKey(draft.database));
    json.insert(QStringLiteral("query"), draft.query);
    json.insert(QStringLiteral("text"), draft.text);
    json.insert(QStringLiteral("time"), draft.time.toUTC().toString(Qt::ISODateWithMs));
    QSaveFile file(fileOf(draft.id));
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(QJsonDocument(json).toJson(QJsonDocument::Indented));
    return file.commit();
}

bool DraftStore::remove(const QString& id) const {
    if (!validId(id)) {
        return true;
    }
    QFile file(fileOf(id));
    return !file.exists() || file.remove();
}

std::optional<Draft> DraftStore::read(const QString& id) const {
    if (!validId(id)) {
        return std::nullopt;
    }
    QFile file(fileOf(id));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject json = document.object();
    if (json.value(QStringLiteral("format")).toInt() != kFormat ||
        !json.value(QStringLiteral("text")).isString() ||
        !json.value(QStringLiteral("database")).isString()) {
        return std::nullopt;
    }
    Draft draft;
    draft.id = id;
    draft.database = json.value(QStringLiteral("database")).toString();
    draft.query = json.value(QStringLiteral("query")).toString();
    draft.text = json.value(QStringLiteral("text")).toString();
    draft.time = QDateTime::fromString(json.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    return draft;
}

QList<Draft> DraftStore::draftsFor(const QString& database) const {
    const QString key = databaseKey(database);
    QList<Draft> drafts;
    const QStringList files =
        QDir(mFolder).entryList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        if (auto draft = read(name.chopped(kSuffix.size())); draft && draft->database == key) {
            drafts.append(*draft);
        }
    }
    std::stable_sort(drafts.begin(), drafts.end(),
                     [](const Draft& a, const Draft& b) { return a.time < b.time; });
    return drafts;
}
