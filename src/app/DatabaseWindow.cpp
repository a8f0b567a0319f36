#include "app/DatabaseWindow.h"

#include "app/ObjectIcons.h"
#include "host/QdbDatabase.h"
#include "hostapi/host.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

namespace app {

namespace {

constexpr int kTypeRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;

const int kKinds[] = {host::acTable, host::acQuery, host::acForm, host::acReport};

QString groupTitle(int type) {
    switch (type) {
        case host::acTable:
            return QStringLiteral("Tables");
        case host::acQuery:
            return QStringLiteral("Queries");
        case host::acForm:
            return QStringLiteral("Forms");
        case host::acReport:
            return QStringLiteral("Reports");
        default:
            // Macros and modules have no page here.
            return QString();
    }
}

}  // namespace

bool isHiddenObject(int type, const QString& name) {
    if (type == host::acTable) {
        return name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive);
    }
    if (type == host::acQuery) {
        return name.startsWith(QLatin1Char('~'));
    }
    return false;
}

DatabaseWindow::DatabaseWindow(QWidget* parent) : QTreeWidget(parent) {
    // The name the add-in looks for when it walks the host's windows.
    setObjectName(QStringLiteral("ODbDatabaseWindow"));
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setIndentation(14);
    setIconSize(QSize(16, 16));
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpandsOnDoubleClick(false);
    setAnimated(true);
    for (int type : kKinds) {
        auto* item = new QTreeWidgetItem(this, {groupTitle(type)});
        item->setData(0, kTypeRole, -1);
        item->setIcon(0, groupIcon(type));
        QFont bold = font();
        bold.setBold(true);
        item->setFont(0, bold);
        item->setFlags(Qt::ItemIsEnabled);
        item->setExpanded(true);
    }
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (const auto selected = selectedObject()) {
            emit selectionChangedTo(selected->type, selected->name);
        }
    });
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        const int type = item->data(0, kTypeRole).toInt();
        if (type < 0) {
            item->setExpanded(!item->isExpanded());
        } else {
            emit openRequested(type, item->data(0, kNameRole).toString());
        }
    });
}

QTreeWidgetItem* DatabaseWindow::group(int type) const {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->text(0) == groupTitle(type)) {
            return topLevelItem(i);
        }
    }
    return nullptr;
}

void DatabaseWindow::setDatabase(std::shared_ptr<qdb::QdbDatabase> database) {
    mDatabase = std::move(database);
    refresh();
}

void DatabaseWindow::setShowHidden(bool show) {
    mShowHidden = show;
    refresh();
}

void DatabaseWindow::refresh() {
    const auto selected = selectedObject();
    QSignalBlocker blocker(this);
    for (int type : kKinds) {
        qDeleteAll(group(type)->takeChildren());
    }
    if (mDatabase) {
        const auto add = [this](int type, const QString& name, host::QueryType queryType) {
            if (!mShowHidden && isHiddenObject(type, name)) {
                return;
            }
            auto* item = new QTreeWidgetItem(group(type), {name});
            item->setIcon(0, objectIcon(type, queryType));
            item->setData(0, kTypeRole, type);
            item->setData(0, kNameRole, name);
            if (isHiddenObject(type, name)) {
                item->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
            }
        };
        try {
            for (int i = 0; i < mDatabase->tableDefCount(); ++i) {
                add(host::acTable, mDatabase->tableDef(i)->name(), host::QueryType::Select);
            }
            for (int i = 0; i < mDatabase->queryDefCount(); ++i) {
                const auto query = mDatabase->queryDef(i);
                add(host::acQuery, query->name(), query->type());
            }
            for (const QString& name : mDatabase->documentNames(QStringLiteral("Forms"))) {
                add(host::acForm, name, host::QueryType::Select);
            }
            for (const QString& name : mDatabase->documentNames(QStringLiteral("Reports"))) {
                add(host::acReport, name, host::QueryType::Select);
            }
        } catch (const host::Error&) {
            // A damaged catalogue lists what it could.
        }
    }
    for (int type : kKinds) {
        group(type)->sortChildren(0, Qt::AscendingOrder);
    }
    const bool kept = selected && selectObject(selected->type, selected->name);
    if (selected && !kept) {
        // The selected object is no longer listed (hidden again, or gone): it is no longer current.
        blocker.unblock();
        emit selectionChangedTo(-1, QString());
    }
}

bool DatabaseWindow::selectObject(int type, const QString& name) {
    QTreeWidgetItem* kind = group(type);
    if (!kind) {
        return false;
    }
    for (int i = 0; i < kind->childCount(); ++i) {
        QTreeWidgetItem* item = kind->child(i);
        if (item->text(0).compare(name, Qt::CaseInsensitive) == 0) {
            setCurrentItem(item);
            item->setSelected(true);
            scrollToItem(item);
            return true;
        }
    }
    return false;
}

void DatabaseWindow::showPage(int type) {
    QTreeWidgetItem* kind = group(type);
    if (!kind) {
        return;
    }
    kind->setExpanded(true);
    scrollToItem(kind, QAbstractItemView::PositionAtTop);
    const auto selected = selectedObject();
    if ((!selected || selected->type != type) && kind->childCount() > 0) {
        setCurrentItem(kind->child(0));
        kind->child(0)->setSelected(true);
    }
}

std::optional<ObjectRef> DatabaseWindow::selectedObject() const {
    const auto items = selectedItems();
    if (items.isEmpty() || items.first()->data(0, kTypeRole).toInt() < 0) {
        return std::nullopt;
    }
    return ObjectRef{items.first()->data(0, kTypeRole).toInt(), items.first()->data(0, kNameRole).toString()};
}

QStringList DatabaseWindow::names(int type) const {
    QStringList result;
    if (QTreeWidgetItem* kind = group(type)) {
        for (int i = 0; i < kind->childCount(); ++i) {
            result << kind->child(i)->text(0);
        }
    }
    return result;
}

void DatabaseWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (const auto selected = selectedObject()) {
            (event->modifiers() & Qt::ControlModifier) ? emit designRequested(selected->type, selected->name)
                                                       : emit openRequested(selected->type, selected->name);
            return;
        }
    }
    QTreeWidget::keyPressEvent(event);
}

void DatabaseWindow::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    // Coming back to the database window makes its selection the current object again.
    if (const auto selected = selectedObject()) {
        emit selectionChangedTo(selected->type, selected->name);
    }
}

void DatabaseWindow::contextMenuEvent(QContextMenuEvent* event) {
    const auto selected = selectedObject();
    if (!selected) {
        return;
    }
    QMenu menu(this);
    const bool datasheet = selected->type == host::acTable || selected->type == host::acQuery;
    menu.addAction(objectIcon(selected->type), QStringLiteral("&Open"),
                   [this, selected] { emit openRequested(selected->type, selected->name); });
    if (datasheet || selected->type == host::acForm || selected->type == host::acReport) {
        menu.addAction(imageMso(QStringLiteral("ViewsDesignView")), QStringLiteral("&Design View"),
                       [this, selected] { emit designRequested(selected->type, selected->name); });
    }
    menu.exec(event->globalPos());
}

}  // namespace app
