// The add-in's command bars on hosts before version 12: the popup in the host's Tools menu with its
// items, and the add-in toolbar, found again by caption (and the Add/Remove item by tag) whenever they
// exist, so that nothing is ever added twice.
#include "addin/AccessConnect.h"
#include "addin/CommandBars.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"
#include "support/ErrorBoundary.h"

#include <QStringList>

namespace {

const QString kModule = QStringLiteral("AccessConnect");
const QString kProductName = QStringLiteral("Qorvel Editor");
const QString kAppTitle = QStringLiteral("VEXOR Qorvel Editor");
const QString kToolsBar = QStringLiteral("Tools");
const QString kAddRemoveTag = QStringLiteral("Add/Remove Toolbar");
const QString kShowHideCaption = QStringLiteral("Show/Hide Toolbar");
const QString kHelpCaption = QStringLiteral("Help &Contents");
const QString kAboutCaption = QStringLiteral("&About...");

// The toolbar's buttons in order: string and picture resource number, whether it begins a group.
struct ToolbarButton {
    int resource;
    bool beginGroup;
};
constexpr ToolbarButton kToolbarButtons[] = {
    {10000, false}, {10001, true},  {10006, false}, {10007, false}, {10002, true},
    {10003, false}, {10004, false}, {10005, false}, {10008, true},
};

// The add-in's string table.
QString StringResource(int number) {
    switch (number) {
        case 10000:
            return QStringLiteral("New Query");
        case 10001:
            return QStringLiteral("Query Editor");
        case 10002:
            return QStringLiteral("Qorvel");
        case 10003:
            return QStringLiteral("Query Used By");
        case 10004:
            return QStringLiteral("Qorvel Find");
        case 10005:
            return QStringLiteral("Query Used By Find");
        case 10006:
            return QStringLiteral("Datasheet View");
        case 10007:
            return QStringLiteral("Design View");
        case 10008:
            return QStringLiteral("Help Contents");
        default:
            return QString();
    }
}

// The add-in's bitmap resources, compiled into the library that holds it.
QString PictureResource(const QString& name) {
    return QStringLiteral(":/plavo/faces/%1.png").arg(name);
}

void WriteSetting(const platform::Services& services, const QString& key, bool value) {
    if (auto* settings = services.settings) {
        settings->setValue(kAppTitle, QStringLiteral("Settings"), key,
                           value ? QStringLiteral("-1") : QStringLiteral("0"));
    }
}

}  // namespace

CommandBars& AccessConnect::Bars() const {
    if (!HostCommandBars) {
        RaiseObjectNotSet();
    }
    return *HostCommandBars;
}

CommandBarObject* AccessConnect::Toolbar() const {
    return dynamic_cast<CommandBarObject*>(AddInToolbar);
}

void AccessConnect::Show(bool vfShow) {
    Q_UNUSED(vfShow)
    CreateAddInMenu();
}

void AccessConnect::CreateAddInMenu() {
    CommandBarObject* tools = nullptr;
    try {
        tools = Bars().Item(kToolsBar);
    } catch (...) {
    }
    try {
        if (ControlExists(kProductName, &tools->Controls(), false)) {
            AddInMenu = tools->Controls().Item(kProductName);
        } else {
            AddInMenu = AddCommandBarButton(tools->Controls(), kProductName, msoControlPopup, QString(), 0,
                                            true, false, QString());
        }
        AddInMenu->SetVisible(true);
    } catch (...) {
    }
    auto* menu = dynamic_cast<CommandBarControl*>(AddInMenu);
    try {
        if (ControlExists(kAddRemoveTag, nullptr, true)) {
            mAddAddInToolbar = tools->FindControl(kAddRemoveTag, true);
        } else {
            mAddAddInToolbar = AddCommandBarButton(menu->Controls(), kAddRemoveTag, msoControlButton,
                                                   QString(), 0, false, false, kAddRemoveTag);
        }
        mAddAddInToolbar->SetClickHandler([this] { mAddAddInToolbar_Click(); });
    } catch (...) {
    }
    struct Item {
        QString caption;
        QString face;
        int style;
        bool beginGroup;
        CommandBarControl** member;
        void (AccessConnect::*handler)();
    };
    const Item items[] = {
        {kShowHideCaption, QString(), 0, false, &mShowAddInToolbar, &AccessConnect::mShowAddInToolbar_Click},
        {kHelpCaption, QStringLiteral("10008"), msoButtonIconAndCaption, true, &mHelp,
         &AccessConnect::mHelp_Click},
        {kAboutCaption, QString(), 0, false, &mAbout, &AccessConnect::mAbout_Click},
    };
    for (const Item& item : items) {
        try {
            if (ControlExists(item.caption, &menu->Controls(), false)) {
                *item.member = menu->Controls().Item(item.caption);
            } else {
                *item.member = AddCommandBarButton(menu->Controls(), item.caption, msoControlButton,
                                                   item.face, item.style, item.beginGroup, false, QString());
            }
            const auto handler = item.handler;
            (*item.member)->SetClickHandler([this, handler] { (this->*handler)(); });
        } catch (...) {
        }
    }
    try {
        AttachToolbar();
    } catch (...) {
    }
    try {
        UpdateToolbarMenuItems();
    } catch (...) {
    }
}

bool AccessConnect::ControlExists(const QString& caption, CommandBarControls* parent, bool byTag) {
    try {
        if (byTag) {
            return Bars().Item(kToolsBar)->FindControl(caption, true) != nullptr;
        }
        return parent && parent->Item(caption) != nullptr;
    } catch (...) {
        return false;
    }
}

bool AccessConnect::CommandBarExists(const QString& name) {
    try {
        return Bars().Item(name) != nullptr;
    } catch (...) {
        return false;
    }
}

void AccessConnect::BindToolbarButton(int index, CommandBarControl* control) {
    CommandBarButton** members[] = {&mNewQuery,    &mQueryEditor, &mQueryDatasheet,  &mQueryDesign, &mQorvel,
                                    &mQueryUsedBy, &mQorvelFind,  &mQueryUsedByFind, &mToolbarHelp};
    void (AccessConnect::*handlers[])() = {
        &AccessConnect::mNewQuery_Click,       &AccessConnect::mQueryEditor_Click,
        &AccessConnect::mQueryDatasheet_Click, &AccessConnect::mQueryDesign_Click,
        &AccessConnect::mQorvel_Click,         &AccessConnect::mQueryUsedBy_Click,
        &AccessConnect::mQorvelFind_Click,     &AccessConnect::mQueryUsedByFind_Click,
        &AccessConnect::mToolbarHelp_Click};
    *members[index] = control;
    const auto handler = handlers[index];
    control->SetClickHandler([this, handler] { (this->*handler)(); });
}

void AccessConnect::AttachToolbar() {
    CommandBarObject* bar = nullptr;
    try {
        bar = Bars().Item(kProductName);
    } catch (...) {
        return;
    }
    // A toolbar whose buttons were renamed or deleted by the user stays unbound (and its buttons
    // disabled by nothing): Remove Toolbar and Add Toolbar make a whole one again. Rebuilding it here
    // would run on every tick.
    for (int i = 0; i < int(std::size(kToolbarButtons)); ++i) {
        CommandBarControl* control = nullptr;
        try {
            control = bar->Controls().Item(StringResource(kToolbarButtons[i].resource));
        } catch (...) {
            return;
        }
        BindToolbarButton(i, control);
    }
    AddInToolbar = bar;
}

void AccessConnect::AddToolbar(bool temporary) {
    mToolbarInProcess = true;
    ErrorBoundary(Services(), QStringLiteral("AddToolbar"), kModule, [&] {
        if (Host().currentProject().fullName().size() >= 1 && !AddInToolbar) {
            if (!CommandBarExists(kProductName)) {
                CommandBarObject* bar = Bars().Add(kProductName, msoBarTop, false, temporary);
                bar->SetProtection(msoBarNoResize);
                for (int i = 0; i < int(std::size(kToolbarButtons)); ++i) {
                    const QString number = QString::number(kToolbarButtons[i].resource);
                    CommandBarControl* control =
                        AddCommandBarButton(bar->Controls(), number, msoControlButton, number, msoButtonIcon,
                                            kToolbarButtons[i].beginGroup, false, QString());
                    if (control) {
                        BindToolbarButton(i, control);
                    }
                }
                AddInToolbar = bar;
            } else {
                AttachToolbar();
            }
        }
    });
    mToolbarInProcess = false;
}

CommandBarControl* AccessConnect::AddCommandBarButton(CommandBarControls& parent, const QString& caption,
                                                      int type, const QString& face, int style,
                                                      bool beginGroup, bool temporary, const QString& tag) {
    return ErrorBoundary(Services(), QStringLiteral("AddCommandBarButton"), kModule,
                         static_cast<CommandBarControl*>(nullptr), [&] {
                             CommandBarControl* control = parent.Add(type, temporary);
                             bool numeric = false;
                             const int number = caption.toInt(&numeric);
                             control->SetCaption(numeric ? StringResource(number) : caption);
                             control->SetBeginGroup(beginGroup);
                             control->SetTag(tag.isEmpty() ? control->Caption() : tag);
                             if (!face.isEmpty()) {
                                 control->SetStyle(style);
                                 // Every host of this stand-in takes a picture; a refused one leaves the
                                 // button without a face.
                                 try {
                                     control->SetPicture(PictureResource(face),
                                                         PictureResource(face + QLatin1Char('M')));
                                 } catch (...) {
                                 }
                             }
                             return control;
                         });
}

void AccessConnect::HideMenu() {
    try {
        CommandBarObject* tools = Bars().Item(kToolsBar);
        if (ControlExists(kProductName, &tools->Controls(), false)) {
            tools->Controls().Item(kProductName)->SetVisible(false);
        }
    } catch (...) {
    }
    try {
        if (CommandBarExists(kProductName)) {
            Bars().Item(kProductName)->SetVisible(false);
        }
    } catch (...) {
    }
}

void AccessConnect::UpdateToolbarMenuItems() {
    const bool exists = CommandBarExists(kProductName);
    if (mAddAddInToolbar) {
        mAddAddInToolbar->SetCaption(exists ? QStringLiteral("Remove Toolbar")
                                            : QStringLiteral("Add Toolbar"));
    }
    if (mShowAddInToolbar) {
        mShowAddInToolbar->SetEnabled(exists);
    }
}

void AccessConnect::mAddAddInToolbar_Click() {
    try {
        if (CommandBarExists(kProductName)) {
            Bars().Item(kProductName)->Delete();
            AddInToolbar = nullptr;
        } else {
            AddToolbar(false);
            if (CommandBarObject* bar = Toolbar()) {
                bar->SetVisible(true);
            }
        }
    } catch (...) {
    }
    try {
        UpdateToolbarMenuItems();
    } catch (...) {
    }
}

void AccessConnect::mShowAddInToolbar_Click() {
    try {
        if (CommandBarExists(kProductName) && Toolbar()) {
            const bool visible = !Toolbar()->Visible();
            Toolbar()->SetVisible(visible);
            WriteSetting(Services(), QStringLiteral("ToolbarVisible"), visible);
        }
    } catch (...) {
    }
}
