#include "support/clsHtmlHelpForForm.h"

void clsHtmlHelpForForm::Init(quintptr form, int helpContextId, bool hasHelpButton, const QString& topic) {
    mForm = form;
    mContextId = helpContextId;
    mHelpButton = hasHelpButton;
    mTopic = topic;
}

bool clsHtmlHelpForForm::Form_KeyDown(int keyCode) {
    if (keyCode != vbKeyF1 || !IsBound()) {
        return false;
    }
    OpenHelpEx();
    return true;
}

void clsHtmlHelpForForm::cmdHelp_Click() {
    if (mHelpButton) {
        OpenHelpEx();
    }
}

void clsHtmlHelpForForm::OpenHelpEx() {
    if (!mHelp || !IsBound()) {
        return;
    }
    int contextId = mContextId;
    bool cancel = false;
    QString file = File;
    QString topic = mTopic;
    try {
        if (HelpHandler) {
            HelpHandler(contextId, cancel, file, topic);
        }
    } catch (...) {
        return;
    }
    if (!cancel) {
        mHelp->OpenContext(contextId, file, mForm);
    }
}

void clsHtmlHelpForForm::Form_Unload() {
    if (mHelp && IsBound()) {
        mHelp->CloseHelpWindows(mForm);
    }
}

void clsHtmlHelpForForm::Terminate() {
    if (mHelp && IsBound()) {
        mHelp->CloseHelpWindows(mForm);
    }
    mForm = 0;
    mHelpButton = false;
    mHelp.reset();
}
