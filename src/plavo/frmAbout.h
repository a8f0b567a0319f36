// The About box: the add-in's title line with its version, the link to the maker's web site, OK and Help.
#pragma once

#include <QDialog>

class AddinContext;
class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT

public:
    frmAbout(AddinContext& context, QWidget* parent);

    QLabel* lblTitle() const { return mTitle; }
    QLabel* lblLink() const { return mLink; }

    // Opens the web site in the desktop's browser; when that fails, tells the user where to go.
    void lblLink_Click();

private:
    AddinContext& mContext;
    QLabel* mTitle = nullptr;
    QLabel* mLink = nullptr;
};
