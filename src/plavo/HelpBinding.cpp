#include "plavo/HelpBinding.h"

#include "catalogue/AddinContext.h"

#include <QAbstractButton>
#include <QEvent>
#include <QShortcut>
#include <QWidget>

HelpBinding::HelpBinding(QWidget& window, AddinContext& context, int helpContextId,
                         QAbstractButton* helpButton, const QString& topic)
    : QObject(&window), mForm(context.htmlHelp()) {
    setObjectName(QStringLiteral("HelpBinding"));
    mForm.Init(quintptr(window.winId()), helpContextId, helpButton != nullptr, topic);
    // A window shortcut sees F1 before the focused control does, whichever control has the focus.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), &window, nullptr, nullptr, Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this] { mForm.Form_KeyDown(clsHtmlHelpForForm::vbKeyF1); });
    if (helpButton) {
        connect(helpButton, &QAbstractButton::clicked, this, [this] { mForm.cmdHelp_Click(); });
    }
    window.installEventFilter(this);
}

HelpBinding::~HelpBinding() {
    mForm.Terminate();
}

bool HelpBinding::eventFilter(QObject* watched, QEvent* event) {
    // The window is unloading: its help goes with it.
    if (event->type() == QEvent::Close) {
        mForm.Form_Unload();
    }
    return QObject::eventFilter(watched, event);
}
