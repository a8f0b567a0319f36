#include "completion/frmList.h"

#include "platform/VirtualKeys.h"

void frmList::Form_Activate() {
    SelectedText.clear();
    SelectedData = 0;
    LastKeyCode = 0;
    LastShift = 0;
    mSelected = mRows.isEmpty() ? -1 : 0;
    mVisible = true;
}

int frmList::lstList_KeyDown(int keyCode, int shift) {
    LastKeyCode = keyCode;
    LastShift = shift;
    if (keyCode == platform::vk::tab || keyCode == platform::vk::escape) {
        cancel();
        return 0;
    }
    return keyCode;
}

int frmList::lstList_KeyPress(int keyAscii) {
    if (keyAscii == 13 || keyAscii == 32) {
        accept();
        return 0;
    }
    return keyAscii;
}

void frmList::lstList_DblClick() {
    accept();
}

void frmList::lstList_MouseDown(int x, int y, int width, int height) {
    if (x < 0 || y < 0 || x > width || y > height) {
        LastKeyCode = platform::vk::escape;
        cancel();
    }
}

void frmList::lstList_LostFocus() {
    cancel();
}

void frmList::Form_Deactivate() {
    cancel();
}

void frmList::accept() {
    if (!mVisible) {
        return;
    }
    if (mSelected >= 0) {
        SelectedText = mRows.at(mSelected).trimmed();
        SelectedData = mSelected;
    }
    LastKeyCode = 13;
    mVisible = false;
}

void frmList::cancel() {
    mVisible = false;
}

void frmTextInput::Init(bool numbersOnly) {
    mNumbersOnly = numbersOnly;
    InputText.clear();
    LastKeyAscii = 0;
    mAccepted = false;
}

int frmTextInput::txtInput_KeyPress(int keyAscii, const QString& boxText) {
    LastKeyAscii = keyAscii;
    if (keyAscii == 13) {
        InputText = boxText;
        mAccepted = true;
        mVisible = false;
        return 0;
    }
    if (keyAscii == 27) {
        cancel();
        return 0;
    }
    if (mNumbersOnly && (keyAscii < '0' || keyAscii > '9')) {
        return 0;
    }
    return keyAscii;
}

void frmTextInput::txtInput_MouseDown(int x, int y, int width, int height) {
    if (x < 0 || y < 0 || x > width || y > height) {
        LastKeyAscii = 27;
        cancel();
    }
}

void frmTextInput::Form_Deactivate() {
    cancel();
}

void frmTextInput::cancel() {
    InputText.clear();
    mAccepted = false;
    mVisible = false;
}
