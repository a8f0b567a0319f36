#include "datasources/frmFields.h"

#include "catalogue/mMain.h"
#include "platform/Prompter.h"
#include "support/ErrorBoundary.h"
#include "support/KeyedCollection.h"

#include <algorithm>

namespace {
const QString kModule = QStringLiteral("frmFields");
}

QStringList FieldsDialogEntries(AddinContext& context, const CV_QueryDataSource& dataSource,
                                const QString& queryName) {
    KeyedCollection<QString> names;
    for (const auto& entry : dataSource.Fields) {
        const QString fullName = entry.item.FullName();
        names.addUnique(fullName, fullName);
    }
    if (!queryName.isEmpty()) {
        AddAliases(context, queryName, names);
    }
    // Sorted by the folded text, folded once per entry.
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(std::size_t(names.count()));
    for (const auto& entry : names) {
        keyed.emplace_back(FoldKey(entry.item), entry.item);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList entries;
    entries.reserve(qsizetype(keyed.size()));
    for (auto& [folded, text] : keyed) {
        entries << std::move(text);
    }
    return entries;
}

bool frmFields::Form_Load() {
    return ErrorBoundary(mContext.services(), QStringLiteral("Form_Load"), kModule, false, [&] {
        const CV_QueryDataSource* dataSource = mParent.queryDataSource();
        if (!dataSource) {
            return false;
        }
        mEntries = FieldsDialogEntries(mContext, *dataSource, mParent.QueryName());
        mSelected = mEntries.isEmpty() ? -1 : 0;
        return true;
    });
}

QString frmFields::Caption() const {
    return mParent.QueryName() + QStringLiteral("  - Data Sources Fields ");
}

void frmFields::setSelectedIndex(int index) {
    mSelected = index >= 0 && index < mEntries.size() ? index : -1;
}

QString frmFields::SelectedText() const {
    return mSelected >= 0 ? mEntries.at(mSelected) : QString();
}

void frmFields::cmdOK_Click() {
    ErrorBoundary(mContext.services(), QStringLiteral("cmdOK_Click"), kModule, [&] {
        const QString name = SelectedText();
        if (name.isEmpty()) {
            return;
        }
        if (!mParent.AddFields(name)) {
            platform::showMessage(mContext.services(), QStringLiteral("Adding Fields failed."),
                                  platform::MsgIcon::Exclamation);
        }
    });
}
