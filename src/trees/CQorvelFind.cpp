#include "trees/CQorvelFind.h"

#include "catalogue/mMain.h"
#include "datasources/CV_QueryDataSource.h"
#include "datasources/DataSourceFields.h"
#include "datasources/mQueryDataSourceList.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"
#include "support/ErrorBoundary.h"

namespace {

const QString kModule = QStringLiteral("frmFindReplaceDlg");

bool TypeAccepted(int mode, host::ObjectType type) {
    switch (mode) {
        case frmQorvel::ModeUsesFind:
            return type == host::ObjectType::Query || type == host::ObjectType::Form ||
                   type == host::ObjectType::Report;
        case frmQorvel::ModeUsedByFind:
            return type == host::ObjectType::Table || type == host::ObjectType::Query;
        default:
            return true;
    }
}

}  // namespace

CQorvelFind::CQorvelFind(AddinContext& context) : mContext(context) {}
CQorvelFind::~CQorvelFind() = default;

bool CQorvelFind::mfValidDataSource() {
    host::Application* application = mContext.application();
    if (!application) {
        return false;
    }
    return ErrorBoundary(mContext.services(), QStringLiteral("mfValidDataSource"), kModule, false, [&] {
        const std::optional<host::ObjectRef> current = application->currentObject();
        if (!current) {
            return false;
        }
        const host::ObjectType objectType = current->type;
        const QString& objectName = current->name;
        bool found = false;
        if (TypeAccepted(QorvelMode, objectType)) {
            QString name = objectName;
            if (objectType == host::ObjectType::Form) {
                name = QStringLiteral("~sq_f") + objectName;
            } else if (objectType == host::ObjectType::Report) {
                name = QStringLiteral("~sq_r") + objectName;
            }
            // A form or report whose record source names a table or query directly has no hidden query.
            for (int attempt = 0; attempt < 2 && !found; ++attempt) {
                if (IsQuery(mContext, name)) {
                    mDataSource = rQueryDataSourceFieldList(mContext, name, true, nullptr);
                    const std::shared_ptr<host::QueryDef> query = mContext.currentDatabase()->queryDef(name);
                    DataSourceFieldNames(mContext, mDataSource.get(), query.get(), mFindWhatList);
                    found = mDataSource != nullptr;
                } else if (IsTable(mContext, name)) {
                    mDataSource = TableDataSource(mContext, name);
                    DataSourceFieldNames(mContext, mDataSource.get(), nullptr, mFindWhatList);
                    found = mDataSource != nullptr;
                } else if (attempt == 0 && objectType == host::ObjectType::Form) {
                    name = FormRecordSource(mContext, objectName);
                } else if (attempt == 0 && objectType == host::ObjectType::Report) {
                    name = ReportRecordSource(mContext, objectName);
                } else {
                    break;
                }
            }
        }
        if (!found) {
            platform::showMessage(mContext.services(),
                                  QStringLiteral("This action is not available for selected object"),
                                  platform::MsgIcon::Exclamation, QStringLiteral("Qorvel"));
        }
        return found;
    });
}

std::unique_ptr<frmQorvel> CQorvelFind::cmdFind_Click(const QString& findWhat, int chkWholeWordOnly) {
    std::unique_ptr<frmQorvel> window =
        CreateTreeWindow ? CreateTreeWindow() : std::make_unique<frmQorvel>(mContext);
    window->FilterField = findWhat;
    window->FilterWholeWord = chkWholeWordOnly == 1;
    const bool show = window->Initialize(QorvelMode, QString());
    mClosed = true;
    if (!show) {
        window.reset();
    }
    return window;
}
