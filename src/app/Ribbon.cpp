#include "app/Ribbon.h"

#include "app/ObjectIcons.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QXmlStreamReader>

#include <memory>
#include <vector>

namespace app {

namespace {

const QString kCustomUiNamespace = QStringLiteral("http://schemas.microsoft.com/office/2006/01/customui");
constexpr int kLargeIcon = 32;
constexpr int kSmallIcon = 16;

// One control of a group as the definition gives it.
struct ControlSpec {
    enum Kind { Button, Separator, SplitButton } kind = Button;
    QString id;
    QString label;
    QString imageMso;
    QString onAction;
    QString supertip;
    bool large = false;
    std::vector<ControlSpec> menu;  // the split button's menu entries; its face is the first
};

struct GroupSpec {
    QString tabIdMso;
    QString tabId;
    QString tabLabel;
    QString id;
    QString label;
    QString insertAfterMso;
    QString insertBeforeMso;
    std::vector<ControlSpec> controls;
};

QString tipText(const QString& label, const QString& supertip) {
    QString text = supertip.toHtmlEscaped();
    // A carriage return in the definition (&#13;) is a line break of the tip.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    text.replace(QLatin1Char('\r'), QStringLiteral("<br>"));
    text.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    if (label.isEmpty() && text.isEmpty()) {
        return QString();
    }
    return QStringLiteral("<p style='white-space:pre'><b>%1</b></p>%2").arg(label.toHtmlEscaped(), text);
}

// A large button's label breaks into two lines at its middle blank, as the host lays them out.
QString largeLabel(const QString& label) {
    const int middle = int(label.size()) / 2;
    int best = -1;
    for (int i = 0; i < label.size(); ++i) {
        if (label[i] == QLatin1Char(' ') && (best < 0 || std::abs(i - middle) < std::abs(best - middle))) {
            best = i;
        }
    }
    if (best < 0) {
        return label;
    }
    QString text = label;
    text[best] = QLatin1Char('\n');
    return text;
}

QToolButton* makeButton(const QString& id, const QString& label, const QIcon& icon, bool large) {
    auto* button = new QToolButton;
    button->setObjectName(id);
    button->setAutoRaise(true);
    button->setIcon(icon);
    button->setFocusPolicy(Qt::NoFocus);
    if (large) {
        button->setText(largeLabel(label));
        button->setIconSize(QSize(kLargeIcon, kLargeIcon));
        button->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonTextUnderIcon);
        button->setMinimumWidth(56);
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    } else {
        button->setText(label);
        button->setIconSize(QSize(kSmallIcon, kSmallIcon));
        button->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonTextBesideIcon);
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    return button;
}

QFrame* verticalLine() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setStyleSheet(QStringLiteral("color: #d5dae2;"));
    return line;
}

bool parseControls(QXmlStreamReader& xml, std::vector<ControlSpec>& into);

ControlSpec readButton(QXmlStreamReader& xml) {
    const auto a = xml.attributes();
    ControlSpec spec;
    spec.id = a.value(QLatin1String("id")).toString();
    spec.label = a.value(QLatin1String("label")).toString();
    spec.imageMso = a.value(QLatin1String("imageMso")).toString();
    spec.onAction = a.value(QLatin1String("onAction")).toString();
    spec.supertip = a.value(QLatin1String("supertip")).toString();
    spec.large = a.value(QLatin1String("size")) == QLatin1String("large");
    return spec;
}

bool parseControls(QXmlStreamReader& xml, std::vector<ControlSpec>& into) {
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        if (name == QLatin1String("button")) {
            into.push_back(readButton(xml));
            xml.skipCurrentElement();
        } else if (name == QLatin1String("separator")) {
            ControlSpec spec;
            spec.kind = ControlSpec::Separator;
            spec.id = xml.attributes().value(QLatin1String("id")).toString();
            into.push_back(spec);
            xml.skipCurrentElement();
        } else if (name == QLatin1String("splitButton")) {
            ControlSpec split;
            split.kind = ControlSpec::SplitButton;
            split.id = xml.attributes().value(QLatin1String("id")).toString();
            split.large = xml.attributes().value(QLatin1String("size")) == QLatin1String("large");
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("button")) {
                    split.menu.insert(split.menu.begin(), readButton(xml));
                    xml.skipCurrentElement();
                } else if (xml.name() == QLatin1String("menu")) {
                    parseControls(xml, split.menu);
                } else {
                    xml.skipCurrentElement();
                }
            }
            into.push_back(split);
        } else if (name == QLatin1String("menu")) {
            parseControls(xml, into);
        } else {
            xml.skipCurrentElement();
        }
    }
    return !xml.hasError();
}

}  // namespace

Ribbon::Ribbon(BuiltInHandler builtIn, QWidget* parent) : QWidget(parent), mBuiltIn(std::move(builtIn)) {
    setObjectName(QStringLiteral("Ribbon"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(
        QStringLiteral("app--Ribbon { background: #f5f7fa; border-bottom: 1px solid #cfd6e0; }"
                       "QStackedWidget { background: #f5f7fa; }"
                       "QTabBar::tab { padding: 5px 14px; margin-right: 1px; border: 1px solid transparent; "
                       "color: #2b3340; }"
                       "QTabBar::tab:selected { background: #f5f7fa; border: 1px solid #cfd6e0; "
                       "border-bottom-color: #f5f7fa; "
                       "border-top-left-radius: 3px; border-top-right-radius: 3px; }"
                       "QTabBar::tab:hover:!selected { color: #1f5fbf; }"
                       "QToolButton { padding: 2px 4px; border-radius: 3px; color: #1f2630; }"
                       "QToolButton:hover { background: #dde8f7; border: 1px solid #b5cbea; }"
                       "QToolButton:pressed { background: #c5d9f3; }"
                       "QToolButton:disabled { color: #9aa3ae; }"
                       "QLabel#GroupLabel { color: #5d6878; }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 2);
    layout->setSpacing(0);
    mTabBar = new QTabBar;
    mTabBar->setDrawBase(false);
    mTabBar->setExpanding(false);
    mPages = new QStackedWidget;
    mPages->setFixedHeight(104);
    layout->addWidget(mTabBar);
    layout->addWidget(mPages);
    connect(mTabBar, &QTabBar::currentChanged, mPages, &QStackedWidget::setCurrentIndex);

    const auto builtInButton = [this](const QString& groupId, const QString& id, const QString& label,
                                      bool large, QWidget* column = nullptr) {
        QToolButton* button = makeButton(id, label, imageMso(id), large);
        connect(button, &QToolButton::clicked, this, [this, id] {
            if (mBuiltIn) {
                mBuiltIn(id);
            }
        });
        mButtons.insert(id, button);
        QWidget* group = mGroups.value(groupId);
        auto* content = static_cast<QHBoxLayout*>(group->property("content").value<QObject*>());
        if (column) {
            column->layout()->addWidget(button);
        } else {
            content->addWidget(button);
        }
        return button;
    };
    const auto column = [this](const QString& groupId) {
        auto* widget = new QWidget;
        auto* layout = new QVBoxLayout(widget);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(1);
        QWidget* group = mGroups.value(groupId);
        static_cast<QHBoxLayout*>(group->property("content").value<QObject*>())->addWidget(widget);
        return widget;
    };

    addTab(QStringLiteral("TabHomeAccess"), QStringLiteral("Home"));
    addGroup(QStringLiteral("TabHomeAccess"), QStringLiteral("GroupViews"), QStringLiteral("Views"));
    builtInButton(QStringLiteral("GroupViews"), QStringLiteral("ViewsDatasheetView"),
                  QStringLiteral("Datasheet View"), true);
    builtInButton(QStringLiteral("GroupViews"), QStringLiteral("ViewsDesignView"),
                  QStringLiteral("Design View"), true);
    addGroup(QStringLiteral("TabHomeAccess"), QStringLiteral("GroupQueryResults"), QStringLiteral("Results"));
    builtInButton(QStringLiteral("GroupQueryResults"), QStringLiteral("QueryRunQuery"), QStringLiteral("Run"),
                  true);
    addGroup(QStringLiteral("TabHomeAccess"), QStringLiteral("GroupClipboard"), QStringLiteral("Clipboard"));
    builtInButton(QStringLiteral("GroupClipboard"), QStringLiteral("Paste"), QStringLiteral("Paste"), true)
        ->setEnabled(false);
    addGroup(QStringLiteral("TabHomeAccess"), QStringLiteral("GroupSortAndFilter"),
             QStringLiteral("Sort && Filter"));
    QWidget* sort = column(QStringLiteral("GroupSortAndFilter"));
    builtInButton(QStringLiteral("GroupSortAndFilter"), QStringLiteral("SortUp"), QStringLiteral("Ascending"),
                  false, sort)
        ->setEnabled(false);
    builtInButton(QStringLiteral("GroupSortAndFilter"), QStringLiteral("SortDown"),
                  QStringLiteral("Descending"), false, sort)
        ->setEnabled(false);
    builtInButton(QStringLiteral("GroupSortAndFilter"), QStringLiteral("FilterBySelection"),
                  QStringLiteral("Selection"), false, sort)
        ->setEnabled(false);
    addGroup(QStringLiteral("TabHomeAccess"), QStringLiteral("GroupRecords"), QStringLiteral("Records"));
    builtInButton(QStringLiteral("GroupRecords"), QStringLiteral("Refresh"), QStringLiteral("Refresh All"),
                  true);

    addTab(QStringLiteral("TabCreate"), QStringLiteral("Create"));
    addGroup(QStringLiteral("TabCreate"), QStringLiteral("GroupCreateTables"), QStringLiteral("Tables"));
    builtInButton(QStringLiteral("GroupCreateTables"), QStringLiteral("CreateTable"), QStringLiteral("Table"),
                  true);
    builtInButton(QStringLiteral("GroupCreateTables"), QStringLiteral("CreateTableInDesignView"),
                  QStringLiteral("Table Design"), true);
    addGroup(QStringLiteral("TabCreate"), QStringLiteral("GroupCreateForms"), QStringLiteral("Forms"));
    builtInButton(QStringLiteral("GroupCreateForms"), QStringLiteral("CreateForm"), QStringLiteral("Form"),
                  true);
    addGroup(QStringLiteral("TabCreate"), QStringLiteral("GroupCreateReports"), QStringLiteral("Reports"));
    builtInButton(QStringLiteral("GroupCreateReports"), QStringLiteral("CreateReport"),
                  QStringLiteral("Report"), true);
    addGroup(QStringLiteral("TabCreate"), QStringLiteral("GroupCreateOther"), QStringLiteral("Other"));
    builtInButton(QStringLiteral("GroupCreateOther"), QStringLiteral("CreateQueryFromWizard"),
                  QStringLiteral("Query Wizard"), true);
    builtInButton(QStringLiteral("GroupCreateOther"), QStringLiteral("CreateQueryInDesignView"),
                  QStringLiteral("Query Design"), true);

    addTab(QStringLiteral("TabExternalData"), QStringLiteral("External Data"));
    addGroup(QStringLiteral("TabExternalData"), QStringLiteral("GroupImport"), QStringLiteral("Import"));
    builtInButton(QStringLiteral("GroupImport"), QStringLiteral("ImportAccess"), QStringLiteral("Access"),
                  true);
    builtInButton(QStringLiteral("GroupImport"), QStringLiteral("ImportExcel"), QStringLiteral("Excel"),
                  true);
    builtInButton(QStringLiteral("GroupImport"), QStringLiteral("ImportTextFile"),
                  QStringLiteral("Text File"), true);

    addTab(QStringLiteral("TabDatabaseTools"), QStringLiteral("Database Tools"));
    addGroup(QStringLiteral("TabDatabaseTools"), QStringLiteral("GroupShowHide"),
             QStringLiteral("Show/Hide"));
    builtInButton(QStringLiteral("GroupShowHide"), QStringLiteral("DatabaseRelationships"),
                  QStringLiteral("Relationships"), true);
    builtInButton(QStringLiteral("GroupShowHide"), QStringLiteral("DatabaseObjectDependencies"),
                  QStringLiteral("Object Dependencies"), true);
    addGroup(QStringLiteral("TabDatabaseTools"), QStringLiteral("GroupDatabaseTools"),
             QStringLiteral("Database Tools"));
    builtInButton(QStringLiteral("GroupDatabaseTools"), QStringLiteral("CompactAndRepair"),
                  QStringLiteral("Compact and Repair Database"), true);
}

QWidget* Ribbon::addTab(const QString& id, const QString& label) {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addStretch(1);
    mTabs.append({id, page, layout});
    mPages->addWidget(page);
    mTabBar->addTab(label);
    return page;
}

Ribbon::Tab* Ribbon::tab(const QString& id) {
    for (Tab& tab : mTabs) {
        if (tab.id == id) {
            return &tab;
        }
    }
    return nullptr;
}

QWidget* Ribbon::addGroup(const QString& tabId, const QString& groupId, const QString& label, int index) {
    Tab* owner = tab(tabId);
    auto* group = new QWidget;
    group->setObjectName(groupId);
    auto* outer = new QHBoxLayout(group);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* body = new QWidget;
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(4, 0, 4, 0);
    bodyLayout->setSpacing(0);
    auto* content = new QHBoxLayout;
    content->setSpacing(2);
    bodyLayout->addLayout(content, 1);
    auto* caption = new QLabel(label);
    caption->setObjectName(QStringLiteral("GroupLabel"));
    caption->setAlignment(Qt::AlignHCenter);
    bodyLayout->addWidget(caption);
    outer->addWidget(body);
    outer->addWidget(verticalLine());
    group->setProperty("content", QVariant::fromValue<QObject*>(content));
    // Groups stand before the stretch that closes the tab.
    const int last = owner->layout->count() - 1;
    owner->layout->insertWidget(index < 0 || index > last ? last : index, group);
    mGroups.insert(groupId, group);
    return group;
}

QString Ribbon::mergeCustomUI(const QString& text, CallbackHandler onAction) {
    QXmlStreamReader xml(text);
    std::vector<GroupSpec> groups;
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("customUI") ||
        xml.namespaceUri() != kCustomUiNamespace) {
        return xml.hasError()
                   ? QStringLiteral("line %1, column %2: %3")
                         .arg(xml.lineNumber())
                         .arg(xml.columnNumber())
                         .arg(xml.errorString())
                   : QStringLiteral("the root element is not a customUI element of the namespace %1")
                         .arg(kCustomUiNamespace);
    }
    // customUI > ribbon > tabs > tab > group > controls
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("ribbon")) {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("tabs")) {
                xml.skipCurrentElement();
                continue;
            }
            while (xml.readNextStartElement()) {
                if (xml.name() != QLatin1String("tab")) {
                    xml.skipCurrentElement();
                    continue;
                }
                const auto tabAttributes = xml.attributes();
                while (xml.readNextStartElement()) {
                    if (xml.name() != QLatin1String("group")) {
                        xml.skipCurrentElement();
                        continue;
                    }
                    GroupSpec group;
                    group.tabIdMso = tabAttributes.value(QLatin1String("idMso")).toString();
                    group.tabId = tabAttributes.value(QLatin1String("id")).toString();
                    group.tabLabel = tabAttributes.value(QLatin1String("label")).toString();
                    const auto a = xml.attributes();
                    group.id = a.value(QLatin1String("id")).toString();
                    group.label = a.value(QLatin1String("label")).toString();
                    group.insertAfterMso = a.value(QLatin1String("insertAfterMso")).toString();
                    group.insertBeforeMso = a.value(QLatin1String("insertBeforeMso")).toString();
                    parseControls(xml, group.controls);
                    groups.push_back(std::move(group));
                }
            }
        }
    }
    // Read to the end, so that text after the definition's close is checked as well.
    while (!xml.atEnd()) {
        xml.readNext();
    }
    if (xml.hasError()) {
        return QStringLiteral("line %1, column %2: %3")
            .arg(xml.lineNumber())
            .arg(xml.columnNumber())
            .arg(xml.errorString());
    }

    for (const GroupSpec& spec : groups) {
        QString tabId = spec.tabIdMso.isEmpty() ? spec.tabId : spec.tabIdMso;
        if (!tab(tabId)) {
            addTab(tabId, spec.tabLabel.isEmpty() ? tabId : spec.tabLabel);
        }
        Tab* owner = tab(tabId);
        int index = -1;
        if (QWidget* after = mGroups.value(spec.insertAfterMso)) {
            index = owner->layout->indexOf(after) + 1;
        } else if (QWidget* before = mGroups.value(spec.insertBeforeMso)) {
            index = owner->layout->indexOf(before);
        }
        QWidget* group = addGroup(tabId, spec.id, spec.label, index);
        mCustomGroups << group;
        auto* content = static_cast<QHBoxLayout*>(group->property("content").value<QObject*>());
        QVBoxLayout* column = nullptr;
        const auto closeColumn = [&column, content] {
            if (column) {
                column->addStretch(1);
            }
            column = nullptr;
        };
        const auto columnFor = [&column, content] {
            if (!column || column->count() >= 3) {
                auto* widget = new QWidget;
                column = new QVBoxLayout(widget);
                column->setContentsMargins(0, 0, 0, 0);
                column->setSpacing(1);
                content->addWidget(widget);
            }
            return column;
        };
        const auto wire = [this, onAction](auto* sender, const ControlSpec& control, auto signal) {
            const QString callback = control.onAction;
            const QString id = control.id;
            connect(sender, signal, this, [onAction, callback, id] {
                if (onAction && !callback.isEmpty()) {
                    onAction(callback, id);
                }
            });
        };
        for (const ControlSpec& control : spec.controls) {
            switch (control.kind) {
                case ControlSpec::Separator:
                    closeColumn();
                    content->addWidget(verticalLine());
                    break;
                case ControlSpec::Button: {
                    QToolButton* button =
                        makeButton(control.id, control.label, imageMso(control.imageMso), control.large);
                    button->setToolTip(tipText(control.label, control.supertip));
                    wire(button, control, &QToolButton::clicked);
                    mButtons.insert(control.id, button);
                    mCustomIds << control.id;
                    if (control.large) {
                        closeColumn();
                        content->addWidget(button);
                    } else {
                        columnFor()->addWidget(button);
                    }
                    break;
                }
                case ControlSpec::SplitButton: {
                    if (control.menu.empty()) {
                        break;
                    }
                    const ControlSpec& face = control.menu.front();
                    QToolButton* button =
                        makeButton(face.id, face.label, imageMso(face.imageMso), control.large || face.large);
                    button->setPopupMode(QToolButton::MenuButtonPopup);
                    button->setToolTip(tipText(face.label, face.supertip));
                    wire(button, face, &QToolButton::clicked);
                    mButtons.insert(face.id, button);
                    mCustomIds << face.id;
                    auto* menu = new QMenu(button);
                    menu->setObjectName(control.id);
                    menu->setToolTipsVisible(true);
                    for (std::size_t i = 1; i < control.menu.size(); ++i) {
                        const ControlSpec& entry = control.menu[i];
                        QAction* action = menu->addAction(imageMso(entry.imageMso), entry.label);
                        action->setObjectName(entry.id);
                        action->setToolTip(tipText(entry.label, entry.supertip));
                        wire(action, entry, &QAction::triggered);
                        mMenuActions.insert(entry.id, action);
                        mCustomIds << entry.id;
                    }
                    button->setMenu(menu);
                    if (control.large || face.large) {
                        closeColumn();
                        content->addWidget(button);
                    } else {
                        columnFor()->addWidget(button);
                    }
                    break;
                }
            }
        }
        closeColumn();
    }
    return QString();
}

void Ribbon::removeCustomGroups() {
    for (const QString& id : std::as_const(mCustomIds)) {
        mButtons.remove(id);
        mMenuActions.remove(id);
    }
    mCustomIds.clear();
    for (QWidget* group : std::as_const(mCustomGroups)) {
        mGroups.remove(group->objectName());
        delete group;
    }
    mCustomGroups.clear();
}

void Ribbon::selectTab(const QString& idMso) {
    for (int i = 0; i < mTabs.size(); ++i) {
        if (mTabs[i].id == idMso) {
            mTabBar->setCurrentIndex(i);
        }
    }
}

bool Ribbon::click(const QString& id) {
    if (QAbstractButton* found = mButtons.value(id)) {
        if (!found->isEnabled()) {
            return false;
        }
        found->click();
        return true;
    }
    if (QAction* action = mMenuActions.value(id)) {
        action->trigger();
        return true;
    }
    return false;
}

QAbstractButton* Ribbon::button(const QString& id) const {
    return mButtons.value(id);
}

QAction* Ribbon::menuAction(const QString& id) const {
    return mMenuActions.value(id);
}

}  // namespace app
