#include "app/QueryWizards.h"

#include "app/CatalogueReader.h"
#include "app/DatabaseWindow.h"
#include "app/ObjectIcons.h"
#include "host/QdbDatabase.h"
#include "hostapi/host.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

namespace {

constexpr int kTypeRole = Qt::UserRole + 1;  // the name is Qt::UserRole

QString bracketed(const QString& name) {
    return QLatin1Char('[') + name + QLatin1Char(']');
}

}  // namespace

NewQueryDialog::NewQueryDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("New Query"));
    mChoices = new QListWidget;
    const auto add = [this](const QString& text, const QString& key, const QString& description,
                            const QIcon& icon) {
        auto* item = new QListWidgetItem(icon, text, mChoices);
        item->setData(Qt::UserRole, key);
        item->setData(Qt::UserRole + 1, description);
    };
    add(QStringLiteral("Design View"), QStringLiteral("Design View"),
        QStringLiteral("Create a new query without using a wizard."),
        imageMso(QStringLiteral("CreateQueryInDesignView")));
    add(QStringLiteral("Simple Query Wizard"), QString::fromLatin1(kSimpleQueryWizard),
        QStringLiteral("Create a select query from the fields you pick."),
        imageMso(QStringLiteral("CreateQueryFromWizard")));
    add(QStringLiteral("Crosstab Query Wizard"), QString::fromLatin1(kCrosstabQueryWizard),
        QStringLiteral("Create a query that shows data in a compact, spreadsheet-like format."),
        objectIcon(host::ObjectType::Query, host::QueryType::Crosstab));
    add(QStringLiteral("Find Duplicates Query Wizard"), QString::fromLatin1(kFindDuplicatesWizard),
        QStringLiteral("Create a query that finds records with duplicate field values."),
        objectIcon(host::ObjectType::Query));
    add(QStringLiteral("Find Unmatched Query Wizard"), QString::fromLatin1(kFindUnmatchedWizard),
        QStringLiteral(
            "Create a query that finds records in one table that have no related records in another."),
        objectIcon(host::ObjectType::Query));
    mChoices->setCurrentRow(0);
    mChoices->setIconSize(QSize(24, 24));
    mDescription = new QLabel;
    mDescription->setWordWrap(true);
    mDescription->setMinimumWidth(180);
    connect(mChoices, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        mDescription->setText(item ? item->data(Qt::UserRole + 1).toString() : QString());
    });
    mDescription->setText(mChoices->currentItem()->data(Qt::UserRole + 1).toString());
    connect(mChoices, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(mDescription);
    row->addWidget(mChoices, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    resize(520, 240);
}

QString NewQueryDialog::choice() const {
    return mChoices->currentItem() ? mChoices->currentItem()->data(Qt::UserRole).toString() : QString();
}

SimpleQueryWizard::SimpleQueryWizard(std::shared_ptr<qdb::QdbDatabase> database, const QString& databasePath,
                                     QWidget* parent)
    : QDialog(parent), mDatabase(std::move(database)), mPath(databasePath) {
    setWindowTitle(QStringLiteral("Simple Query Wizard"));
    auto* intro = new QLabel(
        QStringLiteral("Which fields do you want in your query? You can choose from one table or query."));
    intro->setWordWrap(true);
    mSource = new QComboBox;
    mSource->setIconSize(QSize(16, 16));
    try {
        for (int i = 0; i < mDatabase->tableDefCount(); ++i) {
            const QString name = mDatabase->tableDef(i)->name();
            if (!isHiddenObject({host::ObjectType::Table, name})) {
                mSource->addItem(objectIcon(host::ObjectType::Table), QStringLiteral("Table: ") + name, name);
                mSource->setItemData(mSource->count() - 1, QVariant::fromValue(host::ObjectType::Table),
                                     kTypeRole);
            }
        }
        for (int i = 0; i < mDatabase->queryDefCount(); ++i) {
            const auto query = mDatabase->queryDef(i);
            if (!isHiddenObject({host::ObjectType::Query, query->name()})) {
                mSource->addItem(objectIcon(host::ObjectType::Query, query->type()),
                                 QStringLiteral("Query: ") + query->name(), query->name());
                mSource->setItemData(mSource->count() - 1, QVariant::fromValue(host::ObjectType::Query),
                                     kTypeRole);
            }
        }
    } catch (const host::Error&) {
    }
    mFields = new QListWidget;
    mName = new QLineEdit;
    connect(mSource, &QComboBox::currentIndexChanged, this, [this] { loadFields(); });
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Tables/Queries:"), mSource);
    form->addRow(QStringLiteral("&Fields:"), mFields);
    form->addRow(QStringLiteral("&Query name:"), mName);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    QPushButton* finishButton = buttons->addButton(QStringLiteral("&Finish"), QDialogButtonBox::AcceptRole);
    finishButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(finishButton, &QPushButton::clicked, this, [this] {
        const QString problem = this->finish();
        if (problem.isEmpty()) {
            accept();
        } else {
            QMessageBox::warning(this, windowTitle(), problem);
        }
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(460, 420);
    loadFields();
}

void SimpleQueryWizard::loadFields() {
    mFields->clear();
    const QString source = mSource->currentData().toString();
    if (source.isEmpty()) {
        return;
    }
    QStringList names;
    if (mSource->currentData(kTypeRole).value<host::ObjectType>() == host::ObjectType::Table) {
        names = tableFields(mPath, source);
    } else {
        for (const CatalogueRow& row : catalogueRows(mPath, source)) {
            if (row.attribute == 6) {
                names << (row.name1.isEmpty() ? row.expression.section(QLatin1Char('.'), -1) : row.name1);
            }
        }
    }
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(name, mFields);
        item->setCheckState(Qt::Unchecked);
    }
    mName->setText(source + QStringLiteral(" Query"));
}

void SimpleQueryWizard::chooseSource(const QString& source) {
    const int index = mSource->findData(source);
    if (index >= 0) {
        mSource->setCurrentIndex(index);
    }
}

void SimpleQueryWizard::chooseFields(const QStringList& fields) {
    for (int i = 0; i < mFields->count(); ++i) {
        QListWidgetItem* item = mFields->item(i);
        item->setCheckState(fields.contains(item->text(), Qt::CaseInsensitive) ? Qt::Checked : Qt::Unchecked);
    }
}

void SimpleQueryWizard::setQueryName(const QString& name) {
    mName->setText(name);
}

QString SimpleQueryWizard::sql() const {
    const QString source = mSource->currentData().toString();
    QStringList columns;
    for (int i = 0; i < mFields->count(); ++i) {
        if (mFields->item(i)->checkState() == Qt::Checked) {
            const QString field = mFields->item(i)->text();
            columns << (field == QLatin1String("*")
                            ? bracketed(source) + QStringLiteral(".*")
                            : bracketed(source) + QLatin1Char('.') + bracketed(field));
        }
    }
    return QStringLiteral("SELECT %1\r\nFROM %2;").arg(columns.join(QStringLiteral(", ")), bracketed(source));
}

QString SimpleQueryWizard::finish() {
    if (mSource->currentData().toString().isEmpty()) {
        return QStringLiteral("The database has no table or query to take fields from.");
    }
    bool any = false;
    for (int i = 0; i < mFields->count(); ++i) {
        any = any || mFields->item(i)->checkState() == Qt::Checked;
    }
    if (!any) {
        return QStringLiteral("Choose at least one field.");
    }
    const QString name = mName->text();
    try {
        mDatabase->createQueryDef(name, sql());
    } catch (const host::Error& error) {
        return error.description();
    }
    mSaved = name;
    return QString();
}

}  // namespace app
