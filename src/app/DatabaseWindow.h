// The database window: the objects of the open database grouped by kind (tables, queries, forms,
// reports), each with its icon. Its selection is the host's current object while it is active.
#pragma once

#include <QTreeWidget>

#include <memory>
#include <optional>

namespace qdb {
class QdbDatabase;
}

namespace app {

struct ObjectRef {
    int type = -1;
    QString name;
};

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
    bool selectObject(int type, const QString& name);
    std::optional<ObjectRef> selectedObject() const;
    // Shows the objects of one kind: their heading at the top, the first of them selected unless one of
    // them is already. A kind the window does not list changes nothing.
    void showPage(int type);
    // The names listed under one kind, in order.
    QStringList names(int type) const;

signals:
    void selectionChangedTo(int type, const QString& name);
    void openRequested(int type, const QString& name);
    void designRequested(int type, const QString& name);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QTreeWidgetItem* group(int type) const;
    std::shared_ptr<qdb::QdbDatabase> mDatabase;
    bool mShowHidden = false;
};

// Whether the host hides the object unless asked to show hidden objects.
bool isHiddenObject(int type, const QString& name);

}  // namespace app
