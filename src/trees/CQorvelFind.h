// The find dialog in tree use (Qorvel Find, Query Used By Find): which object may be searched, the field
// names it offers as suggestions, and the Find button that opens the marked tree in a new tree window.
#pragma once

#include "catalogue/AddinContext.h"
#include "trees/frmQorvel.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CV_QueryDataSource;

class CQorvelFind {
public:
    // The context is not owned.
    explicit CQorvelFind(AddinContext& context);
    ~CQorvelFind();

    // 3 (Uses tree with find) or 4 (Used By tree with find).
    int QorvelMode = 0;

    // Makes the tree window the Find button fills; without it a window with in-memory controls is made.
    std::function<std::unique_ptr<frmQorvel>()> CreateTreeWindow;

    // Whether the host's current object can be searched in this mode; when it can, its data source and the
    // suggestion names are ready. A refused object type is told to the user.
    bool mfValidDataSource();
    const QStringList& FindWhatList() const { return mFindWhatList; }
    const CV_QueryDataSource* DataSource() const { return mDataSource.get(); }

    // The Find button: builds the marked tree of the current object. Returns the window to show, or nothing
    // when there is nothing to show; the dialog is closed either way.
    std::unique_ptr<frmQorvel> cmdFind_Click(const QString& findWhat, int chkWholeWordOnly);
    bool IsClosed() const { return mClosed; }

private:
    AddinContext& mContext;
    std::unique_ptr<CV_QueryDataSource> mDataSource;
    QStringList mFindWhatList;
    bool mClosed = false;
};
