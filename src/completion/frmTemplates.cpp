#include "completion/frmTemplates.h"

#include "catalogue/mMainWindows.h"
#include "platform/Prompter.h"
#include "support/ErrorBoundary.h"

#include <QRegularExpression>

namespace {

const QString kModule = QStringLiteral("frmTemplates");
const QString kFragmentTag = QStringLiteral("Fragment");
const QString kQueryTag = QStringLiteral("Query");

// The wizards' errors from this number on are the user's to see; smaller ones mean the wizard gave up.
constexpr int kFirstWizardError = 1020;

struct Wizard {
    const char* name;
    const char* tag;
};
constexpr Wizard kWizards[] = {
    {"Design View", ""},
    {"Simple Query Wizard", "acwzmain.ssq_Entry"},
    {"Crosstab Query Wizard", "acwzmain.xtq_Entry"},
    {"Find Duplicates Query Wizard", "acwztool.dup_Entry"},
    {"Find Unmatched Query Wizard", "acwztool.dwz_Entry"},
};

}  // namespace

frmTemplates::frmTemplates(AddinContext& context, QStringList roots)
    : mContext(context), mRoots(std::move(roots)) {}

void frmTemplates::Form_Load() {
    mRows.clear();
    ErrorBoundary(mContext.services(), QStringLiteral("GetTemplates"), kModule, [&] {
        mFragments = GetTemplates(mContext.services(), mRoots, templates::kFragments);
        mQueries = GetTemplates(mContext.services(), mRoots, templates::kQueries);
        mSelectQueries = GetTemplates(mContext.services(), mRoots, templates::kSelectQueries);
    });
}

void frmTemplates::Init(int mode) {
    CreateMode = mode == 3;
    mButtonOk = false;
    if (mode == 1) {
        mTabsVisible = true;
        mTabIndex = 0;
        tbsOptions_Click(mSelectedTab);
        mOkCaption = QStringLiteral("Insert");
    } else if (mode == 3) {
        mTabsVisible = false;
        mRows.clear();
        QString version;
        try {
            version = mContext.host().sysCmd(7).toString();
        } catch (...) {
        }
        if (!version.contains(QLatin1String("Beta"), Qt::CaseInsensitive)) {
            AddWizardsToList();
        }
        TemplatesCollectionToList(mSelectQueries, kQueryTag);
        TemplatesCollectionToList(mQueries, kQueryTag);
        mSelected = mRows.empty() ? -1 : 0;
        mOkCaption = QStringLiteral("Create");
    }
}

void frmTemplates::TemplatesCollectionToList(const TemplateCollection& collection, const QString& tag) {
    ErrorBoundary(mContext.services(), QStringLiteral("TemplatesCollectionToList"), kModule, [&] {
        for (const auto& entry : collection) {
            mRows.push_back(TemplateRow{entry.item.EntryKey, entry.item.EntryValue, tag});
        }
    });
}

void frmTemplates::AddWizardsToList() {
    ErrorBoundary(mContext.services(), QStringLiteral("AddWizardsToList"), kModule, [&] {
        for (const Wizard& wizard : kWizards) {
            mRows.push_back(
                TemplateRow{QString::fromLatin1(wizard.name), QString(), QString::fromLatin1(wizard.tag)});
        }
    });
}

void frmTemplates::tbsOptions_Click(int tab) {
    ErrorBoundary(mContext.services(), QStringLiteral("tbsOptions_Click"), kModule, [&] {
        if (tab < 1 || tab > 3) {
            return;
        }
        mSelectedTab = tab;
        if (tab == mTabIndex) {
            return;
        }
        mRows.clear();
        if (tab != 3) {
            TemplatesCollectionToList(mFragments, kFragmentTag);
        }
        if (tab != 2) {
            TemplatesCollectionToList(mSelectQueries, kQueryTag);
            TemplatesCollectionToList(mQueries, kQueryTag);
        }
        mTabIndex = tab;
        mSelected = mRows.empty() ? -1 : 0;
    });
}

void frmTemplates::NextTab() {
    tbsOptions_Click(mSelectedTab % 3 + 1);
}

void frmTemplates::cmdOK_Click() {
    ErrorBoundary(mContext.services(), QStringLiteral("cmdOK_Click"), kModule, [&] {
        if (mSelected < 0) {
            return;
        }
        const TemplateRow row = mRows.at(std::size_t(mSelected));
        mVisible = false;
        mTemplateContent = row.content;
        if (CreateMode) {
            mUnloaded = true;
            if (!row.content.isEmpty()) {
                const auto editor = mContext.windows().CreateEditorWindow(mContext);
                if (editor && editor->Initialize(QString(), row.content)) {
                    editor->Show();
                }
            } else if (mSelected == 0 && row.tag.isEmpty()) {
                CreateQueryInDesignView(mContext);
            } else if (row.tag.startsWith(QLatin1String("acwz"), Qt::CaseInsensitive)) {
                RunWizard(row.tag);
            }
            return;
        }
        if (row.tag.compare(kQueryTag, Qt::CaseInsensitive) == 0 && !mNoContentInEditor) {
            // Into a query that has text the whole query goes as a subquery.
            QString content = row.content;
            static const QRegularExpression trailingBlanks(QStringLiteral("\\s+$"));
            const QString trimmed = QString(content).remove(trailingBlanks);
            if (trimmed.endsWith(QLatin1Char(';'))) {
                content = trimmed.chopped(1);
            }
            mTemplateContent = QLatin1Char('(') + content + QLatin1Char(')');
        }
        mButtonOk = true;
    });
}

void frmTemplates::cmdCancel_Click() {
    mVisible = false;
    mUnloaded = true;
}

void frmTemplates::RunWizard(const QString& procedure) {
    try {
        mContext.host().run(procedure);
    } catch (const host::Error& error) {
        if (error.number() >= kFirstWizardError) {
            platform::showMessage(mContext.services(), QStringLiteral("Unable to run wizard."),
                                  platform::MsgIcon::Critical);
        }
    } catch (...) {
    }
}
