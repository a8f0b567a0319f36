#include "app/AddinsDialog.h"

#include "app/AddinHost.h"
#include "plavo/AddinRegistry.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace app {

AddinsDialog::AddinsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Add-ins"));
    auto* intro = new QLabel(QStringLiteral("Add-ins available (checked: loaded when the host starts):"));
    mTable = new QTableWidget(0, 3);
    mTable->setHorizontalHeaderLabels(
        {QStringLiteral("Add-in"), QStringLiteral("Load behaviour"), QStringLiteral("Library")});
    mTable->horizontalHeader()->setStretchLastSection(true);
    mTable->verticalHeader()->hide();
    mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mTable->setSelectionMode(QAbstractItemView::SingleSelection);
    mTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(mTable, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 0) {
            addinregistry::setLoadBehavior(
                item->data(Qt::UserRole).toString(),
                item->checkState() == Qt::Checked ? addinregistry::kLoadAtStartup : 0);
            // Not while the item that changed is still being handled: reloading deletes it.
            QMetaObject::invokeMethod(this, &AddinsDialog::reload, Qt::QueuedConnection);
        }
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* add = buttons->addButton(QStringLiteral("&Add..."), QDialogButtonBox::ActionRole);
    QPushButton* remove = buttons->addButton(QStringLiteral("&Remove"), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(add, &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("Add Add-in"), QString(),
                                         QStringLiteral("Add-in libraries (*.so);;All files (*)"));
        if (path.isEmpty()) {
            return;
        }
        const QString problem = AddinHost::registerLibrary(path);
        if (!problem.isEmpty()) {
            QMessageBox::warning(this, windowTitle(), problem);
        }
        reload();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        const auto rows = mTable->selectionModel()->selectedRows();
        if (rows.isEmpty()) {
            return;
        }
        addinregistry::removeEntry(mTable->item(rows.first().row(), 0)->data(Qt::UserRole).toString());
        reload();
    });
    auto* note = new QLabel(QStringLiteral("Changes take effect the next time the host starts."));
    note->setStyleSheet(QStringLiteral("color: palette(mid);"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(mTable, 1);
    layout->addWidget(note);
    layout->addWidget(buttons);
    resize(640, 300);
    reload();
}

void AddinsDialog::reload() {
    const QSignalBlocker blocker(mTable);
    mTable->setRowCount(0);
    for (const addinregistry::AddinEntry& entry : addinregistry::entries()) {
        const int row = mTable->rowCount();
        mTable->insertRow(row);
        auto* name = new QTableWidgetItem(entry.friendlyName.isEmpty() ? entry.progId : entry.friendlyName);
        name->setData(Qt::UserRole, entry.progId);
        name->setFlags(name->flags() | Qt::ItemIsUserCheckable);
        name->setCheckState(entry.loadBehavior == addinregistry::kLoadAtStartup ? Qt::Checked
                                                                                : Qt::Unchecked);
        name->setToolTip(entry.description);
        mTable->setItem(row, 0, name);
        mTable->setItem(row, 1,
                        new QTableWidgetItem(entry.loadBehavior == addinregistry::kLoadAtStartup
                                                 ? QStringLiteral("Load at Startup (3)")
                                                 : QStringLiteral("Unloaded (%1)").arg(entry.loadBehavior)));
        mTable->setItem(row, 2, new QTableWidgetItem(entry.library));
    }
    mTable->resizeColumnsToContents();
}

}  // namespace app
