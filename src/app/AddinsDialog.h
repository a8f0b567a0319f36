// Tools > Add-ins: the registered add-ins with their load behaviour; adding one registers its library
// (its own DllRegisterServer), removing one deletes its entry.
#pragma once

#include <QDialog>

class QTableWidget;

namespace app {

class AddinsDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddinsDialog(QWidget* parent = nullptr);

private:
    void reload();
    QTableWidget* mTable;
};

}  // namespace app
