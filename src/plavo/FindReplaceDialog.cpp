#include "plavo/FindReplaceDialog.h"

#include "catalogue/AddinContext.h"
#include "editor/frmFindReplaceDlg.h"
#include "platform/Platform.h"
#include "plavo/HelpBinding.h"
#include "plavo/TreeWindow.h"
#include "support/HelpTopics.h"
#include "trees/frmQorvel.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kButtonLeft = 318;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 26;
constexpr int kButtonSpacing = 32;
constexpr int kWidth = 424;

QWidget* hostWindowOf(const AddinContext& context) {
    if (auto* application = context.application()) {
        if (QWidget* window = QWidget::find(WId(application->hWndAccessApp()))) {
            return window->window();
        }
    }
    return QApplication::activeWindow();
}

void setItems(QComboBox& box, const QStringList& items) {
    QStringList current;
    for (int i = 0; i < box.count(); ++i) {
        current << box.itemText(i);
    }
    if (current != items) {
        const QString text = box.currentText();
        box.clear();
        box.addItems(items);
        box.setEditText(text);
    }
}

void setText(QComboBox& box, const QString& text) {
    if (box.currentText() != text) {
        box.setEditText(text);
    }
}

}  // namespace

FindReplaceDialog::FindReplaceDialog(AddinContext& context, std::unique_ptr<frmFindReplaceDlg> logic,
                                     QWidget* hostWindow)
    : QDialog(hostWindow), mContextHeld(context.weak_from_this().lock()), mLogic(std::move(logic)) {
    setObjectName(QStringLiteral("frmFindReplaceDlg"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setSizeGripEnabled(false);
    new HelpBinding(*this, context, helptopic::FindReplace);

    const auto combo = [this](const char* name) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        return box;
    };
    const auto button = [this](const char* name, const char* caption, int top) {
        auto* push = new QPushButton(QString::fromLatin1(caption), this);
        push->setObjectName(QString::fromLatin1(name));
        push->setAutoDefault(false);
        push->setGeometry(kButtonLeft, top, kButtonWidth, kButtonHeight);
        return push;
    };
    mFindLabel = new QLabel(QStringLiteral("Find What:"), this);
    mFindLabel->setObjectName(QStringLiteral("lblFindWhat"));
    mFindLabel->setGeometry(10, 12, 90, 22);
    mFindWhat = combo("cbxFindWhat");
    mFindWhat->setGeometry(104, 10, 200, 26);
    mFindLabel->setBuddy(mFindWhat);
    mReplaceLabel = new QLabel(QStringLiteral("Replace With:"), this);
    mReplaceLabel->setObjectName(QStringLiteral("lblReplaceWith"));
    mReplaceLabel->setGeometry(10, 44, 90, 22);
    mReplaceWith = combo("cbxReplaceWith");
    mReplaceWith->setGeometry(104, 42, 200, 26);
    mWholeWord = new QCheckBox(QStringLiteral("Find Whole Word Only"), this);
    mWholeWord->setObjectName(QStringLiteral("chkWholeWordOnly"));
    mWholeWord->setGeometry(10, 76, 294, 24);
    mFind = button("cmdFind", "Find Next", 10);
    mFind->setDefault(true);
    mReplace = button("cmdReplace", "Replace", 10 + kButtonSpacing);
    mReplaceAll = button("cmdReplaceAll", "Replace All", 10 + 2 * kButtonSpacing);
    mCancel = button("cmdCancel", "Cancel", 10 + 3 * kButtonSpacing);

    frmFindReplaceDlg* dialog = mLogic.get();
    connect(mFindWhat, &QComboBox::editTextChanged, dialog, &frmFindReplaceDlg::cbxFindWhat_Change);
    connect(mReplaceWith, &QComboBox::editTextChanged, dialog, &frmFindReplaceDlg::cbxReplaceWith_Change);
    connect(mWholeWord, &QCheckBox::toggled, dialog, &frmFindReplaceDlg::chkWholeWordOnly_Click);
    connect(mFind, &QPushButton::clicked, dialog, &frmFindReplaceDlg::cmdFind_Click);
    connect(mReplace, &QPushButton::clicked, dialog, &frmFindReplaceDlg::cmdReplace_Click);
    connect(mReplaceAll, &QPushButton::clicked, dialog, &frmFindReplaceDlg::cmdReplaceAll_Click);
    connect(mCancel, &QPushButton::clicked, dialog, &frmFindReplaceDlg::cmdCancel_Click);
    connect(dialog, &frmFindReplaceDlg::changed, this, &FindReplaceDialog::draw);
    connect(dialog, &frmFindReplaceDlg::hideRequested, this, &QWidget::hide);
    connect(dialog, &frmFindReplaceDlg::unloadRequested, this, &QWidget::close);
    connect(dialog, &frmFindReplaceDlg::focusFindWhat, this, [this] {
        show();
        raise();
        activateWindow();
        mFindWhat->setFocus();
        mFindWhat->lineEdit()->selectAll();
    });
    draw();
    setLoadedForms(mContextHeld ? mContextHeld->services().forms : context.services().forms);
    markLoaded();
}

FindReplaceDialog::~FindReplaceDialog() {
    markUnloaded();
    mLogic->disconnect(this);
    mLogic->Form_Unload();
}

void FindReplaceDialog::showForEditor(AddinContext& context, frmFindReplaceDlg& logic) {
    auto* window =
        new FindReplaceDialog(context, std::unique_ptr<frmFindReplaceDlg>(&logic), hostWindowOf(context));
    window->show();
}

FindReplaceDialog* FindReplaceDialog::createForTree(AddinContext& context) {
    auto* window =
        new FindReplaceDialog(context, std::make_unique<frmFindReplaceDlg>(context), hostWindowOf(context));
    frmFindReplaceDlg& logic = window->logic();
    AddinContext* held = window->mContextHeld ? window->mContextHeld.get() : &context;
    logic.openMarkedTree = [held, &logic](const QString& findWhat, bool wholeWord) {
        auto* tree = new TreeWindow(*held, hostWindowOf(*held));
        tree->logic().FilterField = findWhat;
        tree->logic().FilterWholeWord = wholeWord;
        if (!tree->Initialize(logic.QorvelMode)) {
            delete tree;
            return false;
        }
        tree->show();
        tree->raise();
        tree->activateWindow();
        return true;
    };
    return window;
}

quintptr FindReplaceDialog::windowHandle() const {
    return quintptr(const_cast<FindReplaceDialog*>(this)->winId());
}

void FindReplaceDialog::draw() {
    const frmFindReplaceDlg& logic = *mLogic;
    setWindowTitle(logic.Caption());
    const bool replacing = logic.ReplaceVisible();
    mReplace->setVisible(replacing);
    mReplaceAll->setVisible(replacing);
    mReplaceWith->setVisible(replacing);
    mReplaceLabel->setVisible(replacing);
    // Find mode: Cancel takes Replace All's place and the window loses its last sixth.
    mCancel->move(kButtonLeft, mReplaceAll->y() + (replacing ? kButtonSpacing : 0));
    setFixedSize(kWidth, replacing ? kFullHeight : kFullHeight * 5 / 6);
    setItems(*mFindWhat, logic.FindWhatList());
    setItems(*mReplaceWith, logic.FindWhatList());
    setText(*mFindWhat, logic.cbxFindWhat());
    setText(*mReplaceWith, logic.cbxReplaceWith());
    if (mWholeWord->isChecked() != logic.chkWholeWordOnly()) {
        mWholeWord->setChecked(logic.chkWholeWordOnly());
    }
    mFind->setEnabled(logic.cmdFindEnabled());
    mReplace->setEnabled(logic.cmdFindEnabled());
    mReplaceAll->setEnabled(logic.cmdFindEnabled());
}

void FindReplaceDialog::closeEvent(QCloseEvent* event) {
    markUnloaded();
    mLogic->Form_Unload();
    QWidget::closeEvent(event);  // QDialog's would take the close for Cancel
}

void FindReplaceDialog::reject() {
    // Escape is the Cancel button: the tree use only hides.
    mLogic->cmdCancel_Click();
}
