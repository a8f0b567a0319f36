#include "plavo/FieldsDialog.h"

#include "plavo/HelpBinding.h"
#include "support/HelpTopics.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Drags the entry's text as plain text, which the editor's text box takes at the drop point.
class FieldList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    QStringList mimeTypes() const override { return {QStringLiteral("text/plain")}; }
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override {
        auto* data = new QMimeData;
        if (!items.isEmpty()) {
            data->setText(items.first()->text());
        }
        return data;
    }
};

}  // namespace

FieldsDialog::FieldsDialog(AddinContext& context, FieldsDialogOwner& owner, QWidget* parent)
    : QDialog(parent, Qt::Tool),
      mLogic(context, owner),
      mList(new FieldList(this)),
      mContextForms(context.services().forms) {
    setObjectName(QStringLiteral("frmFields"));
    new HelpBinding(*this, context, helptopic::Fields);
    setAttribute(Qt::WA_DeleteOnClose);
    mList->setObjectName(QStringLiteral("tvFields"));
    mList->setSelectionMode(QAbstractItemView::SingleSelection);
    mList->setDragEnabled(true);
    mList->setDragDropMode(QAbstractItemView::DragOnly);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mList, 1);
    layout->addLayout(buttons);
    resize(260, 360);

    connect(mList, &QListWidget::currentRowChanged, this, [this](int row) { mLogic.setSelectedIndex(row); });
    connect(mList, &QListWidget::itemDoubleClicked, this, [this] { mLogic.cmdOK_Click(); });
    connect(ok, &QPushButton::clicked, this, [this] { mLogic.cmdOK_Click(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

bool FieldsDialog::load() {
    if (!mLogic.Form_Load()) {
        return false;
    }
    setWindowTitle(mLogic.Caption());
    setLoadedForms(mContextForms);
    markLoaded();
    mList->addItems(mLogic.Entries());
    mList->setCurrentRow(mLogic.SelectedIndex());
    return true;
}
