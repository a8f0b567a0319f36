// The database window: the objects of the open database grouped by kind (tables, queries, forms,
// reports), each with its icon. Its selection is the host's current object while it is active.
#pragma once

#include "hostapi/host.h"

#include <QTreeWidget>

#include <memory>
#include <optional>

namespace qdb {
class QdbDatabase;
}

namespace app {

class DatabaseWindow : public QTreeWidget {
    Q_OBJECT
public:
    explicit DatabaseWindow(QWidget* parent = nullptr);

    // Lists the objects of the database (nullptr empties the window).
    void setDatabase(std::shared_ptr<qdb::QdbDatabase> database);
    void refresh();
    // Hidden objects (~sq_ queries, MSys tables, the add-in's temporary queries) are listed only when on.
    void setShowHidden(bool show);
    bool showHidden() const { return mShowHidden; }

    // Selects the object, found without regard to case; false when it is not listed.
    bool selectObject(const host::ObjectRef& object);
    std::optional<host::ObjectRef> selectedObject() const;
    // Shows the objects of one kind: their heading at the top, the first of them selected unless one of
    // them is already. A kind the window does not list changes nothing.
    void showPage(host::ObjectType type);
    // The names listed under one kind, in order.
    QStringList names(host::ObjectType type) const;

signals:
    // Nothing when the object that was selected is no longer listed.
    void selectionChangedTo(const std::optional<host::ObjectRef>& object);
    void openRequested(const host::ObjectRef& object);
    void designRequested(const host::ObjectRef& object);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QTreeWidgetItem* group(host::ObjectType type) const;
    std::shared_ptr<qdb::QdbDatabase> mDatabase;
    bool mShowHidden = false;
};

// Whether the host hides the object unless asked to show hidden objects.
bool isHiddenObject(const host::ObjectRef& object);

}  // namespace app
