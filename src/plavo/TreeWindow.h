// The dependency tree window (frmQorvel) as the desktop shows it: the toolbar, the tree with its pictures and
// tooltips, the context menu, and the two exports. The tree's logic (building, selecting, opening, editing)
// is frmQorvel's; this window builds the widgets and forwards the user's mouse, keys and commands to it.
// It floats over the host's main window and closes with the database.
#pragma once

#include "platform/LoadedForms.h"
#include "plavo/CCapture.h"

#include <QString>
#include <QWidget>

#include <memory>

class AddinContext;
class frmQorvel;
class QAction;
class QMenu;
class QToolBar;
class QTreeWidget;

namespace platform {
class QtProgressWindowFactory;
class QtTreeControl;
}  // namespace platform

class TreeWindow : public QWidget, public platform::LoadedForm {
    Q_OBJECT

public:
    // hostWindow: the host's main window, which the tree window stays above. The window keeps the
    // connection's context alive while it is open.
    TreeWindow(AddinContext& context, QWidget* hostWindow);
    ~TreeWindow() override;

    frmQorvel& logic() const { return *mLogic; }
    QTreeWidget* tree() const;
    QToolBar* toolbar() const { return mToolbar; }
    QMenu* contextMenu() const { return mPopUp; }

    // Builds the tree (modes 1 to 4) of the object, the host's current one when the name is empty; True
    // when there is a tree to show. The window then takes the caption of the tree.
    bool Initialize(int mode, const QString& objectName = QString());

    // The toolbar's commands by key: "Open", "Design", "Edit", "Text", "Bitmap"; other keys do nothing.
    void tbButtons_ButtonClick(const QString& key);

    // The text export: the caption, a blank line and the tree text go onto the clipboard and from there
    // into a text file in the user's data folder, which opens in the desktop's text editor. Returns the
    // file, empty when nothing was written. The user's clipboard is as it was afterwards.
    QString TextToNotepad();
    // The picture export: every row of the tree that is unfolded, however long, onto the clipboard and from
    // there into a PNG named after the object in the user's data folder, opened with the desktop's image
    // viewer. Returns the file, empty when nothing was written. The user's clipboard is as it was afterwards.
    QString TreeView2Bitmap();
    // The export's file: the folder, then the object name with the characters a file name cannot hold
    // (\ / : * ? < > " |) made "_", then the extension (with its dot).
    static QString ExportFileName(const QString& folder, const QString& objectName, const QString& extension);
    // How the picture export draws the rows: as this window's tree does.
    TreePictureLook PictureLook() const;
    // Where the exports go: the user's data folder (the add-in's own folder may not be writable).
    static QString ExportFolder();

    QString formName() const override { return QStringLiteral("frmQorvel"); }
    quintptr windowHandle() const override;
    void unload() override { close(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void refreshCommands();
    void watchDatabase(QWidget* hostWindow);

    AddinContext& mContext;
    std::shared_ptr<AddinContext> mContextHeld;
    std::unique_ptr<platform::QtProgressWindowFactory> mProgressWindows;
    platform::QtTreeControl* mTreeControl = nullptr;  // owned by the logic
    std::unique_ptr<frmQorvel> mLogic;
    QToolBar* mToolbar = nullptr;
    QAction* mOpen = nullptr;
    QAction* mEdit = nullptr;
    QMenu* mPopUp = nullptr;
    QAction* mMenuOpen = nullptr;
    QAction* mMenuEdit = nullptr;
    QString mDatabase;
    bool mUnloaded = false;
};
