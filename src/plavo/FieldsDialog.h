// The fields dialog (frmFields) in the desktop: a small window floating over the host that lists the
// columns of an editor's data sources and the query's aliases; OK or a double click inserts the selected
// one at the editor's caret, and an entry dragged into the editor's text is dropped there as plain text.
#pragma once

#include "datasources/frmFields.h"
#include "platform/LoadedForms.h"

#include <QDialog>

class QListWidget;

class FieldsDialog : public QDialog, public platform::LoadedForm {
    Q_OBJECT
public:
    FieldsDialog(AddinContext& context, FieldsDialogOwner& owner, QWidget* parent);
    // Fills the list; false when the editor has no data sources (the dialog is not to be shown).
    bool load();
    QListWidget* list() const { return mList; }
    frmFields& logic() { return mLogic; }

    // One of the add-in's loaded windows: closing the database closes it.
    QString formName() const override { return QStringLiteral("frmFields"); }
    void unload() override {
        markUnloaded();
        close();
    }

private:
    frmFields mLogic;
    QListWidget* mList;
    std::shared_ptr<platform::LoadedForms> mContextForms;
};
