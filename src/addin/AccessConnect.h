// The object the host creates when it loads the add-in: connection and disconnection, which commands
// apply to the host's current object, the ribbon definition and its one callback, and every command.
#pragma once

#include "addin/RibbonCommand.h"
#include "catalogue/AddinContext.h"
#include "catalogue/ToolWindows.h"
#include "hostapi/host.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CommandBar;
class CommandBarButton;
class CommandBarControl;
class CommandBarControls;
class CommandBarObject;
class CommandBarPopup;
class CommandBars;
class frmQorvel;

// The nine toolbar commands; index into ButtonEnabled.
enum ecbToolbar {
    ecbNewQuery = 0,
    ecbQueryEditor = 1,
    ecbQueryDatasheet = 2,
    ecbQueryDesign = 3,
    ecbQorvel = 4,
    ecbQueryUsedBy = 5,
    ecbQorvelFind = 6,
    ecbQueryUsedByFind = 7,
    ecbHelp = 8,
};

// The ribbon control the host passes to the callback.
struct IRibbonControl {
    QString Id;
};

class AccessConnect {
public:
    // What the loading program offers: its platform services and its windows (not owned). Each connection
    // makes a new context from them.
    explicit AccessConnect(platform::Services services = {}, ToolWindows* windows = nullptr);
    ~AccessConnect();
    AccessConnect(const AccessConnect&) = delete;
    AccessConnect& operator=(const AccessConnect&) = delete;

    // Command bars of hosts before version 12: the host owns them.
    CommandBar* AddInToolbar = nullptr;
    CommandBarPopup* AddInMenu = nullptr;
    CommandBarButton* mQueryUsedByFind = nullptr;
    CommandBarButton* mQueryDatasheet = nullptr;
    CommandBarButton* mQueryDesign = nullptr;
    CommandBarButton* mNewQuery = nullptr;
    CommandBarButton* mToolbarHelp = nullptr;
    CommandBarButton* mQueryEditor = nullptr;
    CommandBarButton* mQorvel = nullptr;
    CommandBarButton* mQueryUsedBy = nullptr;
    CommandBarButton* mQorvelFind = nullptr;

    // The Tools-menu items of the add-in's popup.
    CommandBarControl* mAddAddInToolbar = nullptr;
    CommandBarControl* mShowAddInToolbar = nullptr;
    CommandBarControl* mHelp = nullptr;
    CommandBarControl* mAbout = nullptr;
    // The host's command bars (hosts before version 12); they come with the connection. Not owned.
    CommandBars* HostCommandBars = nullptr;

    // Which commands apply to the current object; carried in ribbon mode, all True in toolbar mode.
    std::array<bool, 9> ButtonEnabled{};
    // True when the host's major version is below 12; set on every availability pass.
    bool ToolbarMode = false;

    bool ToolbarInProcess() const { return mToolbarInProcess; }
    // The host's version as a number (SysCmd 7 read as a decimal number: "12.0" gives 12).
    double AccessVersion() const;

    QString IRibbonExtensibility_GetCustomUI(const QString& RibbonID) const;
    QString GetRibbonXML() const;
    // Every command the ribbon callback dispatches, in ribbon order; the ribbon definition is made from it.
    static const std::vector<RibbonCommand>& Commands();
    // The ribbon's one action callback.
    void RunQorvel(const IRibbonControl& control);
    // A tree command (ecbQorvel, ecbQueryUsedBy, ecbQorvelFind, ecbQueryUsedByFind) for a program that prints
    // the tree instead of showing a window: the same availability test, find-dialog check and messages as
    // the command, then the tree window's logic made by createWindow and built for the current object, or
    // nothing when the command shows no tree. findWhat and wholeWord stand for the find dialog's entries.
    std::unique_ptr<frmQorvel> BuildTree(
        ecbToolbar command, const std::function<std::unique_ptr<frmQorvel>(AddinContext&)>& createWindow,
        const QString& findWhat = QString(), bool wholeWord = false);
    // Recomputes which commands apply to the current object; never reports.
    void ToolbarButtonsEnable();

    // The Tools-menu popup and its items, the toolbar bound if it exists; vfShow is not used.
    void Show(bool vfShow = false);
    // Hides the popup and the toolbar.
    void HideMenu();

    void AddinInstance_OnConnection(host::Application* Application);
    void AddinInstance_OnDisconnection();
    // The context of the current (or last) connection; nullptr before the first.
    AddinContext* context() const { return mContext.get(); }

    // The toolbar buttons' and Tools-menu items' click events.
    void mNewQuery_Click();
    void mQueryEditor_Click();
    void mQueryDatasheet_Click();
    void mQueryDesign_Click();
    void mQorvel_Click();
    void mQueryUsedBy_Click();
    void mQorvelFind_Click();
    void mQueryUsedByFind_Click();
    void mToolbarHelp_Click();
    void mHelp_Click();
    void mAbout_Click();
    void mAddAddInToolbar_Click();
    void mShowAddInToolbar_Click();

private:
    void ToolbarButtonsDisable();
    void NewQuery();
    void QueryEditor();
    void Qorvel();
    void QueryUsedBy();
    void OpenTreeWindow(const QString& procedure, ecbToolbar command, const QString& notAvailable, int mode);
    void QorvelFind();
    void QueryUsedByFind();
    void OpenFindDialog(const QString& procedure, ecbToolbar command, const QString& notAvailable, int mode);
    void OpenCurrentObject(host::View view);
    void ShowHelpContents();
    void About();
    // Shows the not-available message when the command does not apply; True when it does.
    bool Available(ecbToolbar command, const QString& notAvailable) const;

    // The command bars of hosts before version 12 (AccessConnectCommandBars.cpp).
    void CreateAddInMenu();
    bool ControlExists(const QString& caption, CommandBarControls* parent, bool byTag);
    bool CommandBarExists(const QString& name);
    void AttachToolbar();
    void AddToolbar(bool temporary);
    CommandBarControl* AddCommandBarButton(CommandBarControls& parent, const QString& caption, int type,
                                           const QString& face, int style, bool beginGroup, bool temporary,
                                           const QString& tag);
    void UpdateToolbarMenuItems();
    CommandBars& Bars() const;
    CommandBarObject* Toolbar() const;
    void BindToolbarButton(int index, CommandBarControl* control);

    // The context of the connection; error 91 before the first.
    AddinContext& Context() const;
    host::Application& Host() const { return Context().host(); }
    const platform::Services& Services() const { return mServices; }

    platform::Services mServices;
    ToolWindows* mWindows;
    std::shared_ptr<AddinContext> mContext;
    bool mToolbarInProcess = false;
    std::shared_ptr<WatcherWindow> mWatcher;
};
