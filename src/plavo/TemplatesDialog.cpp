#include "plavo/TemplatesDialog.h"

#include "plavo/HelpBinding.h"
#include "support/HelpTopics.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

TemplatesDialog::TemplatesDialog(AddinContext& context, QWidget* parent, QStringList roots)
    : QDialog(parent),
      mLogic(context, std::move(roots)),
      mTabs(new QTabBar(this)),
      mList(new QTreeWidget(this)),
      mOk(new QPushButton(this)),
      mCancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("frmTemplates"));
    new HelpBinding(*this, context, helptopic::Templates);
    setWindowTitle(mLogic.Caption());
    mTabs->setObjectName(QStringLiteral("tbsOptions"));
    for (const QString& caption : frmTemplates::kTabCaptions) {
        mTabs->addTab(caption);
    }
    mTabs->setTabToolTip(0, frmTemplates::kAllTabTip);
    mList->setObjectName(QStringLiteral("lvTemplates"));
    mList->setColumnCount(2);
    mList->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Content")});
    mList->setRootIsDecorated(false);
    mList->setUniformRowHeights(true);
    mList->setAllColumnsShowFocus(true);
    mList->setTextElideMode(Qt::ElideRight);
    mOk->setObjectName(QStringLiteral("cmdOK"));
    mOk->setDefault(true);
    mCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(mOk);
    buttons->addWidget(mCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mTabs);
    layout->addWidget(mList, 1);
    layout->addLayout(buttons);
    resize(640, 420);

    connect(mTabs, &QTabBar::currentChanged, this, [this](int index) {
        mLogic.tbsOptions_Click(index + 1);
        fill();
    });
    connect(mList, &QTreeWidget::itemDoubleClicked, this, [this] { ok(); });
    connect(mList, &QTreeWidget::currentItemChanged, this,
            [this] { mLogic.setSelectedRow(mList->indexOfTopLevelItem(mList->currentItem())); });
    connect(mOk, &QPushButton::clicked, this, [this] { ok(); });
    connect(mCancel, &QPushButton::clicked, this, [this] {
        mLogic.cmdCancel_Click();
        reject();
    });
    // Ctrl+Tab: the next tab, after the last the first.
    auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(nextTab, &QShortcut::activated, this, [this] {
        if (!mTabs->isVisible()) {
            return;
        }
        mLogic.NextTab();
        const QSignalBlocker blocker(mTabs);
        mTabs->setCurrentIndex(mLogic.TabIndex() - 1);
        fill();
    });
    mLogic.Form_Load();
}

void TemplatesDialog::Init(int mode) {
    mLogic.Init(mode);
    mTabs->setVisible(mLogic.TabsVisible());
    {
        const QSignalBlocker blocker(mTabs);
        mTabs->setCurrentIndex(std::max(mLogic.TabIndex(), 1) - 1);
    }
    mOk->setText(mLogic.OkCaption());
    fill();
}

void TemplatesDialog::fill() {
    const QSignalBlocker blocker(mList);
    mList->clear();
    for (const TemplateRow& row : mLogic.Rows()) {
        auto* item = new QTreeWidgetItem(mList);
        item->setText(0, row.name);
        // The content on one line, as a list row shows it; the whole text is the tooltip.
        item->setText(1, QString(row.content).replace(QLatin1String("\r\n"), QLatin1String(" ")));
        item->setToolTip(1, QString(row.content).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        item->setData(0, Qt::UserRole, row.tag);
    }
    if (mLogic.SelectedRow() >= 0) {
        mList->setCurrentItem(mList->topLevelItem(mLogic.SelectedRow()));
    }
}

void TemplatesDialog::ok() {
    mLogic.cmdOK_Click();
    if (!mLogic.Visible()) {
        accept();
    }
}

void TemplatesDialog::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && mList->hasFocus()) {
        ok();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TemplatesDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    fitColumns();
}

void TemplatesDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    fitColumns();
}

void TemplatesDialog::fitColumns() {
    // Name five eighteenths of the list, Content the rest.
    const int width = mList->width() - 2 * mList->frameWidth();
    mList->setColumnWidth(0, width * 5 / 18);
    mList->setColumnWidth(1, width * 12 / 18);
}

void DesktopTemplatesWindow::ShowModal() {
    TemplatesDialog dialog(mContext, mParent);
    dialog.Init(mMode);
    dialog.logic().setNoContentInEditor(mNoContent);
    dialog.exec();
    mButtonOk = dialog.logic().ButtonOk();
    mContent = dialog.logic().TemplateContent();
}
