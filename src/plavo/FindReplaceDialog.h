// The find dialog as the desktop shows it: the two combo boxes, the whole-word box and the four buttons,
// drawn from frmFindReplaceDlg's state and forwarding the user's input to it. Modeless, it floats over the
// host's main window; closing it unloads its logic.
#pragma once

#include "platform/LoadedForms.h"

#include <QDialog>

#include <memory>

class AddinContext;
class EditorSearch;
class frmFindReplaceDlg;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

class FindReplaceDialog : public QDialog, public platform::LoadedForm {
    Q_OBJECT

public:
    // Takes the logic over. The dialog keeps the connection's context alive while it is open.
    FindReplaceDialog(AddinContext& context, std::unique_ptr<frmFindReplaceDlg> logic, QWidget* hostWindow);
    ~FindReplaceDialog() override;

    frmFindReplaceDlg& logic() const { return *mLogic; }

    // For EditorSearch::showDialog: shows the editor's new dialog logic in a window of its own.
    static void showForEditor(AddinContext& context, frmFindReplaceDlg& logic);
    // The tree use: a dialog for the find commands; its Find button opens the marked tree in a tree window.
    static FindReplaceDialog* createForTree(AddinContext& context);

    QString formName() const override { return QStringLiteral("frmFindReplaceDlg"); }
    quintptr windowHandle() const override;
    void unload() override { close(); }

    // The window's height in replace mode; find mode shows five sixths of it.
    static constexpr int kFullHeight = 132;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void draw();

    std::shared_ptr<AddinContext> mContextHeld;
    std::unique_ptr<frmFindReplaceDlg> mLogic;
    QLabel* mFindLabel = nullptr;
    QComboBox* mFindWhat = nullptr;
    QLabel* mReplaceLabel = nullptr;
    QComboBox* mReplaceWith = nullptr;
    QCheckBox* mWholeWord = nullptr;
    QPushButton* mFind = nullptr;
    QPushButton* mReplace = nullptr;
    QPushButton* mReplaceAll = nullptr;
    QPushButton* mCancel = nullptr;
};
