#include "app/ObjectWindows.h"

#include "app/CatalogueReader.h"
#include "app/DatasheetModel.h"
#include "app/ObjectIcons.h"
#include "host/QdbDatabase.h"
#include "hostapi/host.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace app {

namespace {

QString kindWord(host::ObjectType objectType) {
    switch (objectType) {
        case host::ObjectType::Table:
            return QStringLiteral("Table");
        case host::ObjectType::Query:
            return QStringLiteral("Query");
        case host::ObjectType::Form:
            return QStringLiteral("Form");
        case host::ObjectType::Report:
            return QStringLiteral("Report");
        default:
            return QString();
    }
}

QLabel* noteLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setTextFormat(Qt::RichText);
    label->setStyleSheet(QStringLiteral(
        "QLabel { background: #fff8dc; border: 1px solid #e0c97a; border-radius: 3px; padding: 6px 8px; }"));
    return label;
}

QPlainTextEdit* sqlText(const QString& sql) {
    auto* text = new QPlainTextEdit;
    text->setReadOnly(true);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QString shown = sql;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text->setPlainText(shown);
    return text;
}

// The sources of a query as boxes with their fields, and the joins between them as lines.
class SourceDiagram : public QWidget {
public:
    struct Box {
        QString title;  // alias, else name
        QString name;
        QStringList fields;
        QRect rect;
    };
    struct Join {
        QString left;
        QString right;
        QString expression;
        int kind = 1;  // 1 inner, 2 left, 3 right
    };

    SourceDiagram(std::vector<Box> boxes, std::vector<Join> joins)
        : mBoxes(std::move(boxes)), mJoins(std::move(joins)) {
        setBackgroundRole(QPalette::Base);
        setAutoFillBackground(true);
        const int lineHeight = fontMetrics().height() + 2;
        int x = 16;
        int height = 120;
        for (Box& box : mBoxes) {
            int width = fontMetrics().horizontalAdvance(box.title) + 24;
            for (const QString& field : box.fields) {
                width = std::max(width, fontMetrics().horizontalAdvance(field) + 24);
            }
            width = std::clamp(width, 110, 220);
            const int rows = std::min<int>(int(box.fields.size()), 8);
            box.rect = QRect(x, 16, width, lineHeight * (rows + 1) + 8);
            x += width + 56;
            height = std::max(height, box.rect.bottom() + 16);
        }
        setMinimumSize(x, height);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const int lineHeight = fontMetrics().height() + 2;
        for (const Join& join : mJoins) {
            const Box* left = find(join.left);
            const Box* right = find(join.right);
            if (!left || !right) {
                continue;
            }
            const QPoint from(left->rect.right(), fieldY(*left, join.expression, lineHeight));
            const QPoint to(right->rect.left(), fieldY(*right, join.expression, lineHeight));
            p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.4));
            p.drawLine(from, to);
            if (join.kind == 2 || join.kind == 3) {
                // An outer join points at the side whose rows may be missing.
                const QPoint tip = join.kind == 2 ? to : from;
                const int direction = join.kind == 2 ? -1 : 1;
                p.setBrush(QColor(0x30, 0x30, 0x30));
                QPainterPath arrow;
                arrow.moveTo(tip);
                arrow.lineTo(tip + QPoint(direction * 8, -4));
                arrow.lineTo(tip + QPoint(direction * 8, 4));
                arrow.closeSubpath();
                p.drawPath(arrow);
            }
        }
        for (const Box& box : mBoxes) {
            p.setPen(QPen(QColor(0x7a, 0x8c, 0xa8), 1));
            p.setBrush(Qt::white);
            p.drawRoundedRect(box.rect, 3, 3);
            const QRect header(box.rect.left(), box.rect.top(), box.rect.width(), lineHeight + 4);
            p.setBrush(QColor(0xdc, 0xe6, 0xf5));
            p.drawRoundedRect(header, 3, 3);
            QFont bold = font();
            bold.setBold(true);
            p.setFont(bold);
            p.setPen(QColor(0x1f, 0x2d, 0x45));
            p.drawText(header.adjusted(8, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft,
                       fontMetrics().elidedText(box.title, Qt::ElideRight, header.width() - 14));
            p.setFont(font());
            int y = header.bottom() + 2;
            const int shown = std::min<int>(int(box.fields.size()), 8);
            for (int i = 0; i < shown; ++i) {
                const QString text = i == 7 && box.fields.size() > 8 ? QStringLiteral("…") : box.fields[i];
                p.drawText(QRect(box.rect.left() + 10, y, box.rect.width() - 16, lineHeight),
                           Qt::AlignVCenter | Qt::AlignLeft, text);
                y += lineHeight;
            }
        }
    }

private:
    const Box* find(const QString& title) const {
        for (const Box& box : mBoxes) {
            if (box.title.compare(title, Qt::CaseInsensitive) == 0) {
                return &box;
            }
        }
        return nullptr;
    }

    // The row of the field the join names, else the middle of the header.
    int fieldY(const Box& box, const QString& expression, int lineHeight) const {
        const int shown = std::min<int>(int(box.fields.size()), 8);
        for (int i = 0; i < shown; ++i) {
            const QString qualified = box.title + QLatin1Char('.') + box.fields[i];
            const QString bracketed = QStringLiteral("[%1].[%2]").arg(box.title, box.fields[i]);
            const QString sourceBracketed = QStringLiteral("[%1].%2").arg(box.title, box.fields[i]);
            if (expression.contains(qualified, Qt::CaseInsensitive) ||
                expression.contains(bracketed, Qt::CaseInsensitive) ||
                expression.contains(sourceBracketed, Qt::CaseInsensitive)) {
                return box.rect.top() + lineHeight + 6 + i * lineHeight + lineHeight / 2;
            }
        }
        return box.rect.top() + lineHeight / 2 + 2;
    }

    std::vector<Box> mBoxes;
    std::vector<Join> mJoins;
};

QStringList queryOutputNames(const std::vector<CatalogueRow>& rows) {
    QStringList names;
    for (const CatalogueRow& row : rows) {
        if (row.attribute == 6) {
            names << (row.name1.isEmpty() ? row.expression : row.name1);
        }
    }
    return names;
}

}  // namespace

ObjectWindow::ObjectWindow(host::ObjectType objectType, QString name, host::View view, QWidget* parent)
    : QWidget(parent), mType(objectType), mName(std::move(name)), mView(view) {
    setWindowTitle(title());
    setWindowIcon(objectIcon(objectType));
    setAttribute(Qt::WA_DeleteOnClose);
}

QString ObjectWindow::title() const {
    return mName + QStringLiteral(" : ") + kindWord(mType);
}

bool isActionQueryType(host::QueryType type) {
    return type == host::QueryType::Append || type == host::QueryType::Update ||
           type == host::QueryType::Delete || type == host::QueryType::MakeTable ||
           type == host::QueryType::DataDefinition;
}

std::unique_ptr<DatasheetModel> queryRows(qdb::QdbDatabase& database, const QString& query,
                                          const qdb::ParameterValues& prompt) {
    const auto definition = database.queryDef(query);
    if (isActionQueryType(definition->type())) {
        // As the engine answers a recordset opened on an action query.
        throw host::Error(3219, QStringLiteral("Invalid operation."), QStringLiteral("DAO.QueryDef"));
    }
    return std::make_unique<DatasheetModel>(database.runQuery(definition->name(), prompt));
}

std::optional<QVariant> askParameterValue(QWidget* parent, const QString& name) {
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("EnterParameterValue"));
    dialog.setWindowTitle(QStringLiteral("Enter Parameter Value"));
    dialog.setLabelText(name);
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QString text = dialog.textValue();
    return text.isEmpty() ? QVariant() : QVariant(text);
}

DatasheetWindow::DatasheetWindow(const QString& databasePath, const QString& table, QWidget* parent)
    : ObjectWindow(host::ObjectType::Table, table, host::View::Normal, parent), mDatabasePath(databasePath) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    try {
        mModel = std::make_unique<DatasheetModel>(databasePath, table);
    } catch (const std::exception& error) {
        layout->addWidget(
            noteLabel(QStringLiteral("The table cannot be read: %1").arg(QString::fromUtf8(error.what()))));
        return;
    }
    showRows();
}

DatasheetWindow::DatasheetWindow(const QString& query, std::unique_ptr<DatasheetModel> rows, QWidget* parent)
    : ObjectWindow(host::ObjectType::Query, query, host::View::Normal, parent), mModel(std::move(rows)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    showRows();
}

bool DatasheetWindow::reload() {
    if (objectType() != host::ObjectType::Table || !mTable) {
        return false;
    }
    std::unique_ptr<DatasheetModel> fresh;
    try {
        fresh = std::make_unique<DatasheetModel>(mDatabasePath, name());
    } catch (const std::exception&) {
        // A table replaced or dropped meanwhile keeps the rows it showed.
        return false;
    }
    const QModelIndex current = mTable->currentIndex();
    QItemSelectionModel* oldSelection = mTable->selectionModel();
    mTable->setModel(fresh.get());
    delete oldSelection;
    mModel = std::move(fresh);
    connect(mTable->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { updateRecordLabel(); });
    if (mModel->rowCount() > 0) {
        mTable->setCurrentIndex(mModel->index(std::clamp(current.row(), 0, mModel->rowCount() - 1),
                                              std::max(current.column(), 0)));
    }
    updateRecordLabel();
    return true;
}

void DatasheetWindow::showRows() {
    auto* layout = qobject_cast<QVBoxLayout*>(this->layout());
    mTable = new QTableView;
    mTable->setModel(mModel.get());
    mTable->setAlternatingRowColors(true);
    mTable->setSelectionBehavior(QAbstractItemView::SelectItems);
    mTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed row heights let a view of a million rows lay itself out without asking for any row.
    mTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    mTable->verticalHeader()->setDefaultSectionSize(mTable->fontMetrics().height() + 8);
    mTable->horizontalHeader()->setDefaultSectionSize(130);
    mTable->horizontalHeader()->setHighlightSections(false);
    mTable->setWordWrap(false);
    layout->addWidget(mTable, 1);
    mRecord = new QLabel;
    mRecord->setContentsMargins(8, 3, 8, 3);
    mRecord->setStyleSheet(
        QStringLiteral("QLabel { background: palette(window); border-top: 1px solid palette(mid); }"));
    layout->addWidget(mRecord);
    connect(mTable->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { updateRecordLabel(); });
    if (mModel->rowCount() > 0) {
        mTable->setCurrentIndex(mModel->index(0, 0));
    }
    updateRecordLabel();
}

DatasheetWindow::~DatasheetWindow() {
    // The view lets go of the model before the model goes.
    if (mTable) {
        mTable->setModel(nullptr);
    }
}

void DatasheetWindow::updateRecordLabel() {
    const int count = mModel->rowCount();
    const int current = mTable->currentIndex().isValid() ? mTable->currentIndex().row() + 1 : 0;
    mRecord->setText(
        QStringLiteral("Record: %1 of %2").arg(QLocale().toString(current), QLocale().toString(count)));
}

QueryDesignWindow::QueryDesignWindow(qdb::QdbDatabase& database, const QString& databasePath,
                                     const QString& name, bool isNew, QWidget* parent)
    : ObjectWindow(host::ObjectType::Query, name, host::View::Design, parent) {
    const std::vector<CatalogueRow> rows =
        isNew ? std::vector<CatalogueRow>{} : catalogueRows(databasePath, name);
    std::vector<SourceDiagram::Box> boxes;
    std::vector<SourceDiagram::Join> joins;
    QStringList columns;
    QStringList aliases;
    QString where;
    QString groupBy;
    QString having;
    std::vector<std::pair<QString, bool>> order;  // expression, descending
    for (const CatalogueRow& row : rows) {
        switch (row.attribute) {
            case 5: {
                SourceDiagram::Box box;
                box.name = row.name1;
                box.title = row.name2.isEmpty() ? row.name1 : row.name2;
                if (row.name1.isEmpty()) {
                    box.fields << QStringLiteral("(subquery)");
                } else {
                    QStringList fields = tableFields(databasePath, row.name1);
                    if (fields.isEmpty()) {
                        fields = queryOutputNames(catalogueRows(databasePath, row.name1));
                    }
                    box.fields << QStringLiteral("*") << fields;
                }
                boxes.push_back(box);
                break;
            }
            case 6:
                columns << row.expression;
                aliases << row.name1;
                break;
            case 7:
                joins.push_back({row.name1, row.name2, row.expression, row.flag.toInt()});
                break;
            case 8:
                where = row.expression;
                break;
            case 9:
                groupBy += (groupBy.isEmpty() ? QString() : QStringLiteral(", ")) + row.expression;
                break;
            case 10:
                having = row.expression;
                break;
            case 11:
                order.emplace_back(row.expression,
                                   row.name1.compare(QLatin1String("D"), Qt::CaseInsensitive) == 0);
                break;
            default:
                break;
        }
    }
    // Sorted expressions that are not output columns are columns that are not shown.
    QList<bool> shown(columns.size(), true);
    for (const auto& [expression, descending] : order) {
        Q_UNUSED(descending)
        if (!columns.contains(expression, Qt::CaseInsensitive)) {
            columns << expression;
            aliases << QString();
            shown << false;
        }
    }

    auto* grid = new QTableWidget(5, std::max<int>(int(columns.size()), 6));
    grid->setVerticalHeaderLabels({QStringLiteral("Field:"), QStringLiteral("Alias:"),
                                   QStringLiteral("Sort:"), QStringLiteral("Show:"),
                                   QStringLiteral("Criteria:")});
    grid->horizontalHeader()->setVisible(false);
    grid->horizontalHeader()->setDefaultSectionSize(150);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int column = 0; column < columns.size(); ++column) {
        grid->setItem(0, column, new QTableWidgetItem(columns[column]));
        grid->setItem(1, column, new QTableWidgetItem(aliases[column]));
        for (const auto& [expression, descending] : order) {
            if (expression.compare(columns[column], Qt::CaseInsensitive) == 0) {
                grid->setItem(2, column,
                              new QTableWidgetItem(descending ? QStringLiteral("Descending")
                                                              : QStringLiteral("Ascending")));
            }
        }
        auto* show = new QTableWidgetItem;
        show->setCheckState(shown.value(column, true) ? Qt::Checked : Qt::Unchecked);
        show->setFlags(Qt::ItemIsEnabled);
        grid->setItem(3, column, show);
    }
    if (!where.isEmpty() && !columns.isEmpty()) {
        grid->setItem(4, 0, new QTableWidgetItem(where));
    }

    auto* clauses = new QWidget;
    auto* form = new QFormLayout(clauses);
    form->setContentsMargins(8, 4, 8, 4);
    const auto addClause = [form](const QString& label, const QString& text) {
        if (!text.isEmpty()) {
            auto* value = new QLabel(text);
            value->setTextInteractionFlags(Qt::TextSelectableByMouse);
            value->setWordWrap(true);
            form->addRow(label, value);
        }
    };
    addClause(QStringLiteral("Where:"), where);
    addClause(QStringLiteral("Group By:"), groupBy);
    addClause(QStringLiteral("Having:"), having);

    auto* scroll = new QScrollArea;
    scroll->setWidget(new SourceDiagram(std::move(boxes), std::move(joins)));
    scroll->setBackgroundRole(QPalette::Base);

    auto* lower = new QWidget;
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(grid, 1);
    if (form->rowCount() > 0) {
        lowerLayout->addWidget(clauses);
    }

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(scroll);
    splitter->addWidget(lower);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    mViews = new QTabWidget;
    mViews->setTabPosition(QTabWidget::South);
    mViews->setDocumentMode(true);
    QString sql;
    host::QueryType type = host::QueryType::Select;
    if (!isNew) {
        try {
            const auto query = database.queryDef(name);
            sql = query->sql();
            type = query->type();
        } catch (const host::Error&) {
        }
    }
    // A union, data-definition or pass-through query has no design grid in the host either.
    const bool sqlOnly = type == host::QueryType::Union || type == host::QueryType::DataDefinition ||
                         type == host::QueryType::PassThrough;
    if (!sqlOnly) {
        mViews->addTab(splitter, imageMso(QStringLiteral("ViewsDesignView")), QStringLiteral("Design View"));
    } else {
        delete splitter;
    }
    mViews->addTab(sqlText(sql), imageMso(QStringLiteral("AdpStoredProcedureEditSql")),
                   QStringLiteral("SQL View"));
    layout->addWidget(mViews);
}

void QueryDesignWindow::showSqlView() {
    mViews->setCurrentIndex(mViews->count() - 1);
}

bool QueryDesignWindow::showsSql() const {
    return mViews->currentIndex() == mViews->count() - 1;
}

DocumentWindow::DocumentWindow(qdb::QdbDatabase& database, host::ObjectType objectType, const QString& name,
                               host::View view, QWidget* parent)
    : ObjectWindow(objectType, name, view, parent) {
    const bool isForm = objectType == host::ObjectType::Form;
    qdb::FormSpec spec;
    for (const qdb::FormSpec& object : isForm ? database.forms() : database.reports()) {
        if (object.name.compare(name, Qt::CaseInsensitive) == 0) {
            spec = object;
        }
    }
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(spec.name.isEmpty() ? name : spec.name);
    QFont font = heading->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    font.setBold(true);
    heading->setFont(font);
    heading->setStyleSheet(
        isForm
            ? QStringLiteral("QLabel { color: #23406e; padding: 4px 0; }")
            : QStringLiteral("QLabel { color: #2e6b34; padding: 4px 0; border-bottom: 2px solid #2e6b34; }"));
    layout->addWidget(heading);
    if (view == host::View::Design) {
        layout->addWidget(noteLabel(QStringLiteral("Design View")));
    }
    auto* source = new QGroupBox(QStringLiteral("Record Source"));
    auto* sourceLayout = new QVBoxLayout(source);
    auto* sourceText = new QLabel(spec.recordSource.isEmpty() ? QStringLiteral("(none)") : spec.recordSource);
    sourceText->setWordWrap(true);
    sourceText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    sourceLayout->addWidget(sourceText);
    layout->addWidget(source);
    auto* controls = new QGroupBox(QStringLiteral("Controls"));
    auto* controlsLayout = new QFormLayout(controls);
    if (spec.controls.empty()) {
        controlsLayout->addRow(new QLabel(QStringLiteral("(no controls with a row source)")));
    }
    for (const qdb::ControlSpec& control : spec.controls) {
        auto* value =
            new QLabel(control.rowSource.isEmpty() ? QStringLiteral("(no row source)") : control.rowSource);
        value->setWordWrap(true);
        value->setStyleSheet(QStringLiteral(
            "QLabel { background: palette(base); border: 1px solid palette(mid); padding: 3px; }"));
        controlsLayout->addRow(control.name + QLatin1Char(':'), value);
    }
    layout->addWidget(controls);
    layout->addStretch(1);
}

}  // namespace app
