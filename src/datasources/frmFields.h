// The fields dialog of an SQL editor: the columns of the query's data sources and the query's own
// output-column aliases, one entry each, sorted; the chosen entry goes into the editor's text at its caret.
// This is the dialog's logic; a view shows the entries and forwards the clicks.
#pragma once

#include "catalogue/AddinContext.h"
#include "datasources/CV_QueryDataSource.h"

#include <QString>
#include <QStringList>

// What the dialog needs of the editor window that opened it (its ParentForm).
class FieldsDialogOwner {
public:
    virtual ~FieldsDialogOwner() = default;
    virtual QString QueryName() const = 0;
    // The editor's data-source record, borrowed; nullptr when the query has none.
    virtual const CV_QueryDataSource* queryDataSource() const = 0;
    // Inserts the text at the editor's caret with the separators its clause needs.
    virtual bool AddFields(const QString& name) = 0;
};

class frmFields {
public:
    frmFields(AddinContext& context, FieldsDialogOwner& parent) : mContext(context), mParent(parent) {}

    // Fills the list; false when the editor has no data sources, and the dialog closes at once.
    bool Form_Load();

    QString Caption() const;
    // Sorted without regard to case, each text once.
    const QStringList& Entries() const { return mEntries; }
    int SelectedIndex() const { return mSelected; }
    void setSelectedIndex(int index);
    QString SelectedText() const;

    // Inserts the selected entry into the editor; tells the user when that failed. The dialog stays.
    void cmdOK_Click();

private:
    AddinContext& mContext;
    FieldsDialogOwner& mParent;
    QStringList mEntries;
    int mSelected = -1;
};

// The entries of the fields dialog: the full names of the record's fields and the query's aliases, each
// once, sorted without regard to case.
QStringList FieldsDialogEntries(AddinContext& context, const CV_QueryDataSource& dataSource,
                                const QString& queryName);
