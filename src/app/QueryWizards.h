// The host's new-query dialog and its simple query wizard: pick a table or query and its fields, name
// the query, save it. The other wizards are not part of this host.
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QComboBox;
class QLineEdit;
class QListWidget;
class QLabel;

namespace qdb {
class QdbDatabase;
}

namespace app {

// The entry points of the host's query wizards, as Run knows them.
inline constexpr char kSimpleQueryWizard[] = "acwzmain.ssq_Entry";
inline constexpr char kCrosstabQueryWizard[] = "acwzmain.xtq_Entry";
inline constexpr char kFindDuplicatesWizard[] = "acwztool.dup_Entry";
inline constexpr char kFindUnmatchedWizard[] = "acwztool.dwz_Entry";

class NewQueryDialog : public QDialog {
    Q_OBJECT
public:
    explicit NewQueryDialog(QWidget* parent = nullptr);
    // "Design View" or one of the wizard entry points.
    QString choice() const;

private:
    QListWidget* mChoices;
    QLabel* mDescription;
};

class SimpleQueryWizard : public QDialog {
    Q_OBJECT
public:
    SimpleQueryWizard(std::shared_ptr<qdb::QdbDatabase> database, const QString& databasePath,
                      QWidget* parent = nullptr);
    // The saved query's name after Finish.
    QString savedQuery() const { return mSaved; }

    // Filled in by tests as a user would.
    void chooseSource(const QString& source);
    void chooseFields(const QStringList& fields);
    void setQueryName(const QString& name);
    // Saves; the problem (shown to the user) when it could not.
    QString finish();
    // The SQL the wizard writes for the choices made.
    QString sql() const;

private:
    void loadFields();
    std::shared_ptr<qdb::QdbDatabase> mDatabase;
    QString mPath;
    QComboBox* mSource;
    QListWidget* mFields;
    QLineEdit* mName;
    QString mSaved;
};

}  // namespace app
