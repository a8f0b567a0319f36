// Offers the drafts of unsaved editor text that a database has whenever the host opens it (and at once
// when the add-in connects to a host that already has one open).
#pragma once

#include "editor/DraftStore.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class AddinContext;
class QWidget;

class DraftRecovery : public QObject {
    Q_OBJECT

public:
    // The context must outlive the recovery; the store's folder is the user's (DraftStore::DefaultFolder).
    DraftRecovery(AddinContext& context, QWidget* hostWindow, DraftStore store = DraftStore());

    // Asks about each draft of the database, in the host's main window; returns how many were restored.
    int offer(const QString& databasePath);

private slots:
    void hostDatabaseOpened(const QString& path);

private:
    void offerLater(const QString& databasePath);

    AddinContext& mContext;
    QPointer<QWidget> mHostWindow;
    DraftStore mStore;
    bool mOffering = false;
};
