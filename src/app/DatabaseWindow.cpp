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

const host::ObjectType kKinds[] = {host::ObjectType::Table, host::ObjectType::Query, host::ObjectType::Form,
                                   host::ObjectType::Report};

QString groupTitle(host::ObjectType type) {
    switch (type) {
        case host::ObjectType::Table:
            return QStringLiteral("Tables");
        case host::ObjectType::Query:
            return QStringLiteral("Queries");
        case host::ObjectType::Form:
            return QStringLiteral("Forms");
        case host::ObjectType::Report:
            return QStringLiteral("Reports");
        default:
            // Macros and modules have no page here.
            return QString();
    }
}

// The object an item lists; nothing for a kind's heading.
std::optional<host::ObjectRef> objectOf(const QTreeWidgetItem* item) {
    const QVariant type = item->data(0, kTypeRole);
    if (!type.isValid()) {
        return std::nullopt;
    }
    return host::ObjectRef{type.value<host::ObjectType>(), item->data(0, kNameRole).toString()};
}

}  // namespace

bool isHiddenObject(const host::ObjectRef& object) {
    if (object.type == host::ObjectType::Table) {
        return object.name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive);
    }
    if (object.type == host::ObjectType::Query) {
        return object.name.startsWith(QLatin1Char('~'));
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
    for (const host::ObjectType type : kKinds) {
        auto* item = new QTreeWidgetItem(this, {groupTitle(type)});
        item->setIcon(0, groupIcon(type));
        QFont bold = font();
        bold.setBold(true);
        item->setFont(0, bold);
        item->setFlags(Qt::ItemIsEnabled);
        item->setExpanded(true);
    }
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (const auto selected = selectedObject()) {
            emit selectionChangedTo(selected);
        }
    });
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (const std::optional<host::ObjectRef> object = objectOf(item)) {
            emit openRequested(*object);
        } else {
            item->setExpanded(!item->isExpanded());
        }
    });
}

QTreeWidgetItem* DatabaseWindow::group(host::ObjectType type) const {
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
    for (const host::ObjectType type : kKinds) {
        qDeleteAll(group(type)->takeChildren());
    }
    if (mDatabase) {
        const auto add = [this](host::ObjectType type, const QString& name, host::QueryType queryType) {
            const bool hidden = isHiddenObject({type, name});
            if (!mShowHidden && hidden) {
                return;
            }
            auto* item = new QTreeWidgetItem(group(type), {name});
            item->setIcon(0, objectIcon(type, queryType));
            item->setData(0, kTypeRole, QVariant::fromValue(type));
            item->setData(0, kNameRole, name);
            if (hidden) {
                item->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
            }
        };
        try {
            for (int i = 0; i < mDatabase->tableDefCount(); ++i) {
                add(host::ObjectType::Table, mDatabase->tableDef(i)->name(), host::QueryType::Select);
            }
            for (int i = 0; i < mDatabase->queryDefCount(); ++i) {
                const auto query = mDatabase->queryDef(i);
                add(host::ObjectType::Query, query->name(), query->type());
            }
            for (const QString& name : mDatabase->documentNames(QStringLiteral("Forms"))) {
                add(host::ObjectType::Form, name, host::QueryType::Select);
            }
            for (const QString& name : mDatabase->documentNames(QStringLiteral("Reports"))) {
                add(host::ObjectType::Report, name, host::QueryType::Select);
            }
        } catch (const host::Error&) {
            // A damaged catalogue lists what it could.
        }
    }
    for (const host::ObjectType type : kKinds) {
        group(type)->sortChildren(0, Qt::AscendingOrder);
    }
    const bool kept = selected && selectObject(*selected);
    if (selected && !kept) {
        // The selected object is no longer listed (hidden again, or gone): it is no longer current.
        blocker.unblock();
        emit selectionChangedTo(std::nullopt);
    }
}

bool DatabaseWindow::selectObject(const host::ObjectRef& object) {
    QTreeWidgetItem* kind = group(object.type);
    if (!kind) {
        return false;
    }
    for (int i = 0; i < kind->childCount(); ++i) {
        QTreeWidgetItem* item = kind->child(i);
        if (item->text(0).compare(object.name, Qt::CaseInsensitive) == 0) {
            setCurrentItem(item);
            item->setSelected(true);
            scrollToItem(item);
            return true;
        }
    }
    return false;
}

void DatabaseWindow::showPage(host::ObjectType type) {
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

std::optional<host::ObjectRef> DatabaseWindow::selectedObject() const {
    const auto items = selectedItems();
    return items.isEmpty() ? std::nullopt : objectOf(items.first());
}

QStringList DatabaseWindow::names(host::ObjectType type) const {
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
            (event->modifiers() & Qt::ControlModifier) ? emit designRequested(*selected)
                                                       : emit openRequested(*selected);
            return;
        }
    }
    QTreeWidget::keyPressEvent(event);
}

void DatabaseWindow::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    // Coming back to the database window makes its selection the current object again.
    if (const auto selected = selectedObject()) {
        emit selectionChangedTo(selected);
    }
}

void DatabaseWindow::contextMenuEvent(QContextMenuEvent* event) {
    const auto selected = selectedObject();
    if (!selected) {
        return;
    }
    QMenu menu(this);
    const bool datasheet =
        selected->type == host::ObjectType::Table || selected->type == host::ObjectType::Query;
    menu.addAction(objectIcon(selected->type), QStringLiteral("&Open"),
                   [this, selected] { emit openRequested(*selected); });
    if (datasheet || selected->type == host::ObjectType::Form || selected->type == host::ObjectType::Report) {
        menu.addAction(imageMso(QStringLiteral("ViewsDesignView")), QStringLiteral("&Design View"),
                       [this, selected] { emit designRequested(*selected); });
    }
    menu.exec(event->globalPos());
}

}  // namespace app
