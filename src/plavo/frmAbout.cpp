#include "plavo/frmAbout.h"

#include "catalogue/AddinContext.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"
#include "plavo/HelpBinding.h"
#include "support/AppVersion.h"
#include "support/HelpTopics.h"
#include "support/SupportAddresses.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("VEXOR Qorvel Editor");
// The shell's result codes up to 32 are failures.
constexpr int kShellFailedAtMost = 32;

}  // namespace

frmAbout::frmAbout(AddinContext& context, QWidget* parent) : QDialog(parent), mContext(context) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + kTitle);

    mTitle = new QLabel(AppTitleAndVersion());
    mTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = mTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    mTitle->setFont(titleFont);

    auto* text = new QLabel(
        QStringLiteral("An SQL editor and a dependency explorer for the saved queries of your database."));
    text->setWordWrap(true);

    mLink = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(kWebSite.toHtmlEscaped()));
    mLink->setObjectName(QStringLiteral("lblLink"));
    mLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(mLink, &QLabel::linkActivated, this, [this] { lblLink_Click(); });

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("cmdOK"));
    QPushButton* help = buttons->addButton(QDialogButtonBox::Help);
    help->setObjectName(QStringLiteral("cmdHelp"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    new HelpBinding(*this, context, helptopic::About, help);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mTitle);
    layout->addWidget(text);
    layout->addSpacing(6);
    layout->addWidget(mLink);
    layout->addStretch(1);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

void frmAbout::lblLink_Click() {
    platform::Shell* shell = mContext.services().shell;
    if (!shell || shell->open(kWebSite) <= kShellFailedAtMost) {
        platform::showMessage(mContext.services(), QStringLiteral("Please open your browser to :") + kWebSite,
                              platform::MsgIcon::None);
    }
}
