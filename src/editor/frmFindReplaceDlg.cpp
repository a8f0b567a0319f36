#include "editor/frmFindReplaceDlg.h"

#include "editor/EditorSearch.h"
#include "platform/EventPump.h"
#include "platform/Platform.h"
#include "support/ErrorBoundary.h"
#include "trees/CQorvelFind.h"
#include "trees/frmQorvel.h"

namespace {

const QString kModule = QStringLiteral("frmFindReplaceDlg");

}  // namespace

frmFindReplaceDlg::frmFindReplaceDlg(AddinContext& context, QObject* parent)
    : QObject(parent), mContext(context) {}

frmFindReplaceDlg::~frmFindReplaceDlg() {
    if (!mUnloaded) {
        Form_Unload();
    }
}

void frmFindReplaceDlg::PrepareTreeFind(int qorvelMode) {
    mParentForm = nullptr;
    action(ModeFind);
    QorvelMode = qorvelMode;
}

bool frmFindReplaceDlg::mfValidDataSource() {
    if (mValidity < 0) {
        mTreeFind = std::make_unique<CQorvelFind>(mContext);
        mTreeFind->QorvelMode = QorvelMode;
        mValidity = mTreeFind->mfValidDataSource() ? 1 : 0;
    }
    return mValidity == 1;
}

bool frmFindReplaceDlg::Form_Load() {
    return ErrorBoundary(mContext.services(), QStringLiteral("Form_Load"), kModule, false, [&] {
        // Every suggestion goes into the lists, the first one too.
        if (mParentForm) {
            if (!mParentForm->mavarRow().isEmpty()) {
                mList = mParentForm->mavarRow();
            }
            mWholeWord = mParentForm->WholeWords;
            mReplaceWith = mParentForm->ReplaceWith;
            cbxFindWhat_Change(mParentForm->FindWhat);
            return true;
        }
        if (!mfValidDataSource()) {
            return false;
        }
        if (!mTreeFind->FindWhatList().isEmpty()) {
            mList = mTreeFind->FindWhatList();
        }
        mWholeWord = mContext.rememberedWholeWord();
        emit changed();
        return true;
    });
}

void frmFindReplaceDlg::action(int mode, const QString& text) {
    mMode = mode == ModeReplace ? ModeReplace : ModeFind;
    emit changed();
    if (auto* events = mContext.services().events) {
        events->processPendingEvents();
    }
    if (!text.isEmpty()) {
        cbxFindWhat_Change(text);
    }
}

QString frmFindReplaceDlg::Caption() const {
    return mMode == ModeReplace ? QStringLiteral("Replace") : QStringLiteral("Find");
}

void frmFindReplaceDlg::cbxFindWhat_Change(const QString& text) {
    mFindWhat = text;
    emit changed();
}

void frmFindReplaceDlg::cbxReplaceWith_Change(const QString& text) {
    mReplaceWith = text;
    emit changed();
}

void frmFindReplaceDlg::chkWholeWordOnly_Click(bool checked) {
    mWholeWord = checked;
    emit changed();
}

void frmFindReplaceDlg::handToEditor() {
    mParentForm->FindWhat = mFindWhat;
    mParentForm->ReplaceWith = mReplaceWith;
    mParentForm->WholeWords = mWholeWord;
}

void frmFindReplaceDlg::cmdFind_Click() {
    if (mFindWhat.isEmpty()) {
        return;  // the button is disabled then; a key must not search for nothing either
    }
    if (mParentForm) {
        handToEditor();
        mParentForm->Find();
        return;
    }
    ErrorBoundary(mContext.services(), QStringLiteral("cmdFind_Click"), kModule, [&] {
        if (openMarkedTree) {
            openMarkedTree(mFindWhat, mWholeWord);
        } else {
            if (!mTreeFind) {
                mTreeFind = std::make_unique<CQorvelFind>(mContext);
            }
            mTreeFind->QorvelMode = QorvelMode;
            mLastTree = mTreeFind->cmdFind_Click(mFindWhat, mWholeWord ? 1 : 0);
        }
    });
    Unload();
}

void frmFindReplaceDlg::cmdReplace_Click() {
    if (mParentForm && !mFindWhat.isEmpty()) {
        handToEditor();
        mParentForm->EditorReplace();
    }
}

void frmFindReplaceDlg::cmdReplaceAll_Click() {
    if (mParentForm && !mFindWhat.isEmpty()) {
        handToEditor();
        mParentForm->ReplaceAll();
    }
}

void frmFindReplaceDlg::cmdCancel_Click() {
    if (mParentForm) {
        Unload();
    } else {
        emit hideRequested();
    }
}

void frmFindReplaceDlg::Unload() {
    emit unloadRequested();
    Form_Unload();
}

void frmFindReplaceDlg::Form_Unload() {
    if (mUnloaded) {
        return;
    }
    mUnloaded = true;
    if (mParentForm) {
        mParentForm->findDialogClosed(this);
        mParentForm = nullptr;
    }
    mContext.rememberedWholeWord() = mWholeWord;
}
