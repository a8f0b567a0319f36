#include "plavo/DraftOfferDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPlainTextEdit* textBox(const QString& name, const QString& text, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    return box;
}

}  // namespace

QString DraftOfferDialog::Question(const Draft& draft) {
    const QString what = draft.query.isEmpty() ? QStringLiteral("a new query")
                                               : QStringLiteral("the query \"%1\"").arg(draft.query);
    return QStringLiteral(
               "Qorvel Editor kept text of %1 that was not saved (%2). Restore it in an editor, "
               "show how it differs from the saved query, or discard it?")
        .arg(what, QLocale().toString(draft.time.toLocalTime(), QLocale::ShortFormat));
}

DraftOfferDialog::DraftOfferDialog(const Draft& draft, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDraftOffer"));
    setWindowTitle(QStringLiteral("Unsaved Query Text"));
    auto* label = new QLabel(Question(draft), this);
    label->setObjectName(QStringLiteral("lblQuestion"));
    label->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    const auto add = [&](const char* name, const char* caption, QDialogButtonBox::ButtonRole role,
                         DraftOffer::Choice choice) {
        QPushButton* button = buttons->addButton(QString::fromLatin1(caption), role);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, [this, choice] {
            mChoice = choice;
            accept();
        });
        return button;
    };
    add("cmdRestore", "Restore", QDialogButtonBox::AcceptRole, DraftOffer::Choice::Restore)->setDefault(true);
    add("cmdDifference", "Show Differences", QDialogButtonBox::ActionRole,
        DraftOffer::Choice::ShowDifference);
    add("cmdDiscard", "Discard", QDialogButtonBox::DestructiveRole, DraftOffer::Choice::Discard);
    QPushButton* later = buttons->addButton(QStringLiteral("Later"), QDialogButtonBox::RejectRole);
    later->setObjectName(QStringLiteral("cmdLater"));
    connect(later, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(textBox(QStringLiteral("txtDraft"), draft.text, this), 1);
    layout->addWidget(buttons);
    resize(560, 360);
}

DraftOffer::Choice DraftOfferDialog::ask() {
    mChoice = DraftOffer::Choice::Later;
    return exec() == QDialog::Accepted ? mChoice : DraftOffer::Choice::Later;
}

void DraftOfferDialog::showDifference(const Draft& draft, const QString& difference, QWidget* parent) {
    QDialog window(parent);
    window.setObjectName(QStringLiteral("frmDraftDifference"));
    window.setWindowTitle(draft.query.isEmpty()
                              ? QStringLiteral("Unsaved Text of a New Query")
                              : QStringLiteral("Unsaved Text of %1 and the Saved Query").arg(draft.query));
    auto* legend =
        new QLabel(QStringLiteral("Lines marked - are only in the saved query, lines marked + only "
                                  "in the unsaved text."),
                   &window);
    legend->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(legend);
    layout->addWidget(textBox(QStringLiteral("txtDifference"), difference, &window), 1);
    layout->addWidget(buttons);
    window.resize(640, 420);
    window.exec();
}
