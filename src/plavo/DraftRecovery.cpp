#include "plavo/DraftRecovery.h"

#include "catalogue/AddinContext.h"
#include "editor/DraftOffer.h"
#include "plavo/DraftOfferDialog.h"
#include "plavo/EditorDrafts.h"

#include <QTimer>
#include <QWidget>

namespace {

QString openDatabasePath(const AddinContext& context) {
    try {
        return context.application() ? context.application()->currentProject().fullName() : QString();
    } catch (...) {
        return QString();
    }
}

}  // namespace

DraftRecovery::DraftRecovery(AddinContext& context, QWidget* hostWindow, DraftStore store)
    : QObject(hostWindow), mContext(context), mHostWindow(hostWindow), mStore(std::move(store)) {
    if (hostWindow && hostWindow->metaObject()->indexOfSignal("databaseOpened(QString)") != -1) {
        connect(hostWindow, SIGNAL(databaseOpened(QString)), this, SLOT(hostDatabaseOpened(QString)));
    }
    offerLater(openDatabasePath(mContext));
}

void DraftRecovery::hostDatabaseOpened(const QString& path) {
    Q_UNUSED(
        path)  // an imported file opens as its copy: the editors' drafts name the database as the host does
    offerLater(openDatabasePath(mContext));
}

void DraftRecovery::offerLater(const QString& databasePath) {
    if (databasePath.isEmpty()) {
        return;
    }
    // After the host has finished opening: the question must not hold up its start.
    QTimer::singleShot(0, this, [this, databasePath] { offer(databasePath); });
}

int DraftRecovery::offer(const QString& databasePath) {
    if (mOffering || databasePath.isEmpty()) {
        return 0;
    }
    mOffering = true;
    DraftOffer drafts(mContext, mStore);
    drafts.ask = [this](const Draft& draft, const QString&) {
        DraftOfferDialog dialog(draft, mHostWindow);
        return dialog.ask();
    };
    drafts.showDifference = [this](const Draft& draft, const QString& difference) {
        DraftOfferDialog::showDifference(draft, difference, mHostWindow);
    };
    drafts.restore = [this](const Draft& draft) { return EditorDrafts::restore(mContext, draft); };
    const int restored = drafts.Offer(databasePath);
    mOffering = false;
    return restored;
}
