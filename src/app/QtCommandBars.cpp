#include "app/QtCommandBars.h"

#include "hostapi/host.h"
#include "plavo/AddinRegistry.h"

#include <QAction>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>

namespace app {

namespace {

const QString kToolsBar = QStringLiteral("Tools");
const QString kSavedBars = QStringLiteral("HKEY_CURRENT_USER/Software/Qorvel/qorvel-host/CommandBars");

[[noreturn]] void invalidArgument() {
    throw host::Error(5, QStringLiteral("Invalid procedure call or argument"), QStringLiteral("Office"));
}

[[noreturn]] void objectDeleted() {
    throw host::Error(-2147467259, QStringLiteral("Method of object failed: the control has been deleted."),
                      QStringLiteral("Office"));
}

QString withoutMnemonics(QString text) {
    text.remove(QLatin1Char('&'));
    return text;
}

}  // namespace

QtControl::QtControl(QtCommandBars& owner, int type, QWidget* container, QAction* before)
    : mOwner(owner), mType(type) {
    if (type == msoControlPopup) {
        mMenu = new QMenu(container);
        mAction = mMenu->menuAction();
        mControls = std::make_unique<QtControls>(owner, mMenu);
    } else {
        mAction = new QAction(container);
        QObject::connect(mAction, &QAction::triggered, mAction, [this] { click(); });
    }
    container->insertAction(before, mAction);
}

QtControl::~QtControl() = default;

void QtControl::requireAttached() const {
    if (!mAction) {
        objectDeleted();
    }
}

bool QtControl::Enabled() const {
    requireAttached();
    return mAction->isEnabled();
}

void QtControl::SetEnabled(bool enabled) {
    requireAttached();
    mAction->setEnabled(enabled);
}

void QtControl::SetVisible(bool visible) {
    requireAttached();
    mAction->setVisible(visible);
    if (mSeparator) {
        mSeparator->setVisible(visible);
    }
}

bool QtControl::Visible() const {
    requireAttached();
    return mAction->isVisible();
}

void QtControl::SetCaption(const QString& caption) {
    requireAttached();
    mCaption = caption;
    mAction->setText(caption);
    mAction->setToolTip(withoutMnemonics(caption));
    if (mMenu) {
        mMenu->setTitle(caption);
    }
}

void QtControl::SetBeginGroup(bool beginGroup) {
    requireAttached();
    mBeginGroup = beginGroup;
    if (beginGroup && !mSeparator) {
        QWidget* container = mAction->associatedObjects().isEmpty()
                                 ? nullptr
                                 : qobject_cast<QWidget*>(mAction->associatedObjects().first());
        if (container) {
            mSeparator = new QAction(container);
            mSeparator->setSeparator(true);
            container->insertAction(mAction, mSeparator);
        }
    } else if (!beginGroup && mSeparator) {
        delete mSeparator;
    }
}

void QtControl::SetStyle(int style) {
    requireAttached();
    mStyle = style;
    mAction->setIconVisibleInMenu(style != 0);
}

void QtControl::SetPicture(const QString& picture, const QString& mask) {
    requireAttached();
    Q_UNUSED(mask)  // the pictures carry their own transparency
    // Kept even when it cannot be read yet: a bar restored at start gets its faces once the add-in that
    // holds the pictures is loaded.
    mPicture = picture;
    const QIcon icon = mOwner.face(picture);
    if (icon.isNull()) {
        throw host::Error(-2147467259, QStringLiteral("The picture '%1' could not be read.").arg(picture),
                          QStringLiteral("Office"));
    }
    mAction->setIcon(icon);
}

void QtControl::reloadFace() {
    if (mAction && mAction->icon().isNull() && !mPicture.isEmpty()) {
        mAction->setIcon(mOwner.face(mPicture));
    }
}

CommandBarControls& QtControl::Controls() {
    if (!mControls) {
        throw host::Error(438, QStringLiteral("Object doesn't support this property or method"),
                          QStringLiteral("Office"));
    }
    return *mControls;
}

void QtControl::click() {
    if (mHandler && mAction && mAction->isEnabled()) {
        // A handler may delete the bar this control is on: keep a copy while it runs.
        const auto handler = mHandler;
        handler();
    }
}

void QtControl::detach() {
    if (mControls) {
        mControls->detach();
    }
    delete mSeparator;
    if (mMenu) {
        delete mMenu;
    } else {
        delete mAction;
    }
    mHandler = nullptr;
}

CommandBarControl* QtControls::Add(int type, bool temporary) {
    Q_UNUSED(temporary)
    if (!mContainer) {
        objectDeleted();
    }
    if (type != msoControlButton && type != msoControlPopup) {
        invalidArgument();
    }
    QtControl* control = mOwner.makeControl(type, mContainer, nullptr);
    mControls.push_back(control);
    return control;
}

CommandBarControl* QtControls::Item(const QString& caption) {
    for (QtControl* control : mControls) {
        if (control->action() && control->Caption().compare(caption, Qt::CaseInsensitive) == 0) {
            return control;
        }
    }
    invalidArgument();
}

int QtControls::Count() const {
    int count = 0;
    for (QtControl* control : mControls) {
        count += control->action() ? 1 : 0;
    }
    return count;
}

void QtControls::collect(std::vector<QtControl*>& into) const {
    for (QtControl* control : mControls) {
        if (!control->action()) {
            continue;
        }
        into.push_back(control);
        if (control->Type() == msoControlPopup) {
            static_cast<QtControls&>(control->Controls()).collect(into);
        }
    }
}

void QtControls::detach() {
    for (QtControl* control : mControls) {
        control->detach();
    }
    mControls.clear();
}

QtCommandBar::QtCommandBar(QtCommandBars& owner, QString name, QWidget* container, QToolBar* toolbar,
                           bool temporary)
    : mOwner(owner),
      mName(std::move(name)),
      mToolbar(toolbar),
      mControls(owner, container),
      mTemporary(temporary) {}

void QtCommandBar::requireAlive() const {
    if (mDeleted) {
        objectDeleted();
    }
}

QString QtCommandBar::Name() const {
    requireAlive();
    return mName;
}

bool QtCommandBar::Visible() const {
    requireAlive();
    return mToolbar ? !mToolbar->isHidden() : true;
}

void QtCommandBar::SetVisible(bool visible) {
    requireAlive();
    if (mToolbar) {
        mToolbar->setVisible(visible);
    }
}

CommandBarControls& QtCommandBar::Controls() {
    requireAlive();
    return mControls;
}

CommandBarControl* QtCommandBar::FindControl(const QString& tag, bool recursive) {
    requireAlive();
    std::vector<QtControl*> controls;
    if (recursive) {
        mControls.collect(controls);
    } else {
        for (QtControl* control : mControls.controls()) {
            if (control->action()) {
                controls.push_back(control);
            }
        }
    }
    for (QtControl* control : controls) {
        if (control->Tag() == tag) {
            return control;
        }
    }
    return nullptr;
}

void QtCommandBar::Delete() {
    requireAlive();
    if (!mToolbar) {
        // The host's own bars cannot be deleted.
        invalidArgument();
    }
    mControls.detach();
    mDeleted = true;
    delete mToolbar;
    mOwner.save();
}

QtCommandBars::QtCommandBars(QMainWindow* window, QMenu* toolsMenu) : mWindow(window) {
    mBars.push_back(std::make_unique<QtCommandBar>(*this, kToolsBar, toolsMenu, nullptr, false));
    restore();
}

QtCommandBars::~QtCommandBars() = default;

QtControl* QtCommandBars::makeControl(int type, QWidget* container, QAction* before) {
    mAllControls.push_back(std::make_unique<QtControl>(*this, type, container, before));
    return mAllControls.back().get();
}

QIcon QtCommandBars::face(const QString& picture) const {
    if (picture.isEmpty()) {
        return {};
    }
    QIcon icon(picture);
    if (icon.availableSizes().isEmpty() && !QFileInfo::exists(picture)) {
        return {};
    }
    return icon;
}

CommandBarObject* QtCommandBars::Item(const QString& name) {
    for (const auto& bar : mBars) {
        if (!bar->deleted() && bar->Name().compare(name, Qt::CaseInsensitive) == 0) {
            return bar.get();
        }
    }
    invalidArgument();
}

CommandBarObject* QtCommandBars::Add(const QString& name, int position, bool menuBar, bool temporary) {
    Q_UNUSED(menuBar)
    for (const auto& bar : mBars) {
        if (!bar->deleted() && bar->Name().compare(name, Qt::CaseInsensitive) == 0) {
            invalidArgument();
        }
    }
    auto* toolbar = new QToolBar(name, mWindow);
    toolbar->setObjectName(name);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    mWindow->addToolBar(position == msoBarTop ? Qt::TopToolBarArea : Qt::TopToolBarArea, toolbar);
    mBars.push_back(std::make_unique<QtCommandBar>(*this, name, toolbar, toolbar, temporary));
    return mBars.back().get();
}

QToolBar* QtCommandBars::toolbar(const QString& name) const {
    for (const auto& bar : mBars) {
        if (!bar->deleted() && bar->toolbar() && bar->Name().compare(name, Qt::CaseInsensitive) == 0) {
            return bar->toolbar();
        }
    }
    return nullptr;
}

std::vector<QtControl*> QtCommandBars::allControls() const {
    std::vector<QtControl*> controls;
    for (const auto& bar : mBars) {
        if (!bar->deleted()) {
            bar->controls().collect(controls);
        }
    }
    return controls;
}

bool QtCommandBars::click(const QString& id) {
    // Toolbar buttons before menu items, as the user sees them first.
    std::vector<QtControl*> controls;
    for (auto it = mBars.rbegin(); it != mBars.rend(); ++it) {
        if (!(*it)->deleted()) {
            (*it)->controls().collect(controls);
        }
    }
    for (QtControl* control : controls) {
        if (control->Type() != msoControlButton || !control->action()->isEnabled()) {
            continue;
        }
        if (withoutMnemonics(control->Caption()) == withoutMnemonics(id) || control->Tag() == id) {
            control->click();
            return true;
        }
    }
    return false;
}

void QtCommandBars::reloadFaces() {
    for (QtControl* control : allControls()) {
        control->reloadFace();
    }
}

void QtCommandBars::save() const {
    auto registry = addinregistry::openRegistry();
    registry->remove(kSavedBars);
    int index = 0;
    for (const auto& bar : mBars) {
        if (bar->deleted() || !bar->toolbar() || bar->temporary()) {
            continue;
        }
        const QString key = kSavedBars + QStringLiteral("/%1/").arg(++index);
        registry->setValue(key + QStringLiteral("Name"), bar->Name());
        registry->setValue(key + QStringLiteral("Visible"), bar->Visible());
        QStringList controls;
        for (QtControl* control : bar->controls().controls()) {
            if (control->action() && control->Type() == msoControlButton) {
                controls << QStringList{control->Caption(), control->Tag(), control->picture(),
                                        QString::number(control->style()),
                                        control->beginGroup() ? QStringLiteral("1") : QStringLiteral("0")}
                                .join(QLatin1Char('\x1f'));
            }
        }
        registry->setValue(key + QStringLiteral("Controls"), controls);
    }
    registry->sync();
}

void QtCommandBars::restore() {
    auto registry = addinregistry::openRegistry();
    registry->beginGroup(kSavedBars);
    const QStringList bars = registry->childGroups();
    for (const QString& group : bars) {
        const QString name = registry->value(group + QStringLiteral("/Name")).toString();
        if (name.isEmpty()) {
            continue;
        }
        CommandBarObject* bar = Add(name, msoBarTop, false, false);
        for (const QString& saved : registry->value(group + QStringLiteral("/Controls")).toStringList()) {
            const QStringList parts = saved.split(QLatin1Char('\x1f'));
            CommandBarControl* control = bar->Controls().Add(msoControlButton, false);
            control->SetCaption(parts.value(0));
            control->SetTag(parts.value(1));
            control->SetBeginGroup(parts.value(4) == QLatin1String("1"));
            control->SetStyle(parts.value(3).toInt());
            try {
                control->SetPicture(parts.value(2), QString());
            } catch (const host::Error&) {
            }
        }
        bar->SetVisible(registry->value(group + QStringLiteral("/Visible"), true).toBool());
    }
    registry->endGroup();
}

}  // namespace app
