// Binds one window of the add-in to the shared help object: F1 and the window's Help button open the
// window's topic (its HelpContextID), and unloading the window closes the help it opened. The Qt view
// forwards its key presses (seen before its controls see them) and its Help button's clicks here.
#pragma once

#include "support/clsHtmlHelp.h"

#include <QString>

#include <functional>
#include <memory>

class clsHtmlHelpForForm {
public:
    // Raised before help opens: the window may change the context id, file or topic, or cancel.
    using HelpHandlerFunction =
        std::function<void(int& contextId, bool& cancel, QString& file, QString& topic)>;

    static constexpr int vbKeyF1 = 112;

    explicit clsHtmlHelpForForm(std::shared_ptr<clsHtmlHelp> help) : mHelp(std::move(help)) {}
    ~clsHtmlHelpForForm() { Terminate(); }
    clsHtmlHelpForForm(const clsHtmlHelpForForm&) = delete;
    clsHtmlHelpForForm& operator=(const clsHtmlHelpForForm&) = delete;

    // form: the window's handle; helpContextId: its HelpContextID (0: the contents page).
    void Init(quintptr form, int helpContextId, bool hasHelpButton = false, const QString& topic = QString());
    // A key pressed in the window; true when it was F1 and help opened.
    bool Form_KeyDown(int keyCode);
    void cmdHelp_Click();
    void OpenHelpEx();
    // The window is about to unload: the help windows opened for it close.
    void Form_Unload();
    // Closes the window's help windows and lets the window go; later calls do nothing.
    void Terminate();

    HelpHandlerFunction HelpHandler;
    // The help file of this window; empty means the shared object's.
    QString File;

    int HelpContextID() const { return mContextId; }
    void SetHelpContextID(int contextId) { mContextId = contextId; }
    bool IsBound() const { return mForm != 0; }

private:
    std::shared_ptr<clsHtmlHelp> mHelp;
    quintptr mForm = 0;
    int mContextId = 0;
    bool mHelpButton = false;
    QString mTopic;
};
