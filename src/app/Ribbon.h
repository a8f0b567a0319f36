// The ribbon of hosts of version 12 and later: the built-in tabs (Home, Create, External Data, Database
// Tools) and the groups that add-ins define in their custom UI XML, merged where the definition places
// them. Every control carries its id as its object name.
#pragma once

#include <QHash>
#include <QString>
#include <QWidget>

#include <functional>

class QTabBar;
class QStackedWidget;
class QHBoxLayout;
class QAbstractButton;
class QAction;

namespace app {

class Ribbon : public QWidget {
    Q_OBJECT
public:
    // A built-in control's click, by its id.
    using BuiltInHandler = std::function<void(const QString& id)>;
    // An add-in control's click: its onAction callback name and the control's id.
    using CallbackHandler = std::function<void(const QString& callback, const QString& id)>;

    explicit Ribbon(BuiltInHandler builtIn, QWidget* parent = nullptr);

    // Merges one add-in's definition; the problem when it is not well-formed or not a custom UI (then
    // nothing of it is merged), else an empty text.
    QString mergeCustomUI(const QString& xml, CallbackHandler onAction);
    // Removes the controls that add-ins added.
    void removeCustomGroups();

    void selectTab(const QString& idMso);
    // Clicks a control by id, a menu entry of a split button included; false when there is none.
    bool click(const QString& id);
    // The button, or nullptr (menu entries have none).
    QAbstractButton* button(const QString& id) const;
    QAction* menuAction(const QString& id) const;
    QStringList customControlIds() const { return mCustomIds; }
    QWidget* group(const QString& id) const { return mGroups.value(id); }

private:
    struct Tab {
        QString id;
        QWidget* page = nullptr;
        QHBoxLayout* layout = nullptr;
    };
    QWidget* addTab(const QString& id, const QString& label);
    QWidget* addGroup(const QString& tabId, const QString& groupId, const QString& label, int index = -1);
    Tab* tab(const QString& id);

    QTabBar* mTabBar;
    QStackedWidget* mPages;
    QList<Tab> mTabs;
    QHash<QString, QWidget*> mGroups;
    QHash<QString, QAbstractButton*> mButtons;
    QHash<QString, QAction*> mMenuActions;
    QStringList mCustomIds;
    QList<QWidget*> mCustomGroups;
    BuiltInHandler mBuiltIn;
};

}  // namespace app
