// The SQL editor's completion at template placeholders: when the caret comes to rest inside one, such as
// {table1}, {field} or {value2}, the placeholder is selected and a list of what may replace it pops up
// (tables and queries, the fields of the query's data sources, or for a value the fields and three value
// kinds). The choice replaces every copy of the placeholder, a chosen table joins the data sources, and
// the value kinds write a Null test or ask for a number or a text. Also the field reference under the
// caret (which a template's {field} takes up) and the insertion of a template at the caret.
#pragma once

#include "catalogue/AddinContext.h"
#include "completion/PopUpWindows.h"
#include "datasources/CV_QueryDataSource.h"
#include "platform/RichTextControl.h"

#include <QString>
#include <QStringList>

#include <memory>

class CSQLColorize;

// What completion needs of the editor window it works for.
class CompletionOwner {
public:
    virtual ~CompletionOwner() = default;
    virtual platform::RichTextControl* rtbSQLEditor() const = 0;
    // The editor's data-source record (frmEditor::QueryDataSourceRecord()); completion may create it and
    // adds to it.
    virtual std::unique_ptr<CV_QueryDataSource>& queryDataSource() = 0;
    // The editor's colouriser; nullptr when it has none.
    virtual CSQLColorize* colorizer() const = 0;
    // The list and input windows at the text box's caret.
    virtual PopUpWindows& popUps() = 0;
};

// A placeholder found in a text: its 0-based start and length, braces included.
struct Placeholder {
    int start = 0;
    int length = 0;
};
enum class PlaceholderKind { None, Table, Field, Value };

// The placeholder around a caret at a 0-based position: the letters and digits on both sides of the caret
// between "{" and "}". Nothing when the caret is at either end of the text or not inside one.
std::optional<Placeholder> FindPlaceholder(const QString& text, int caret);
// The kind by the placeholder's first word, without regard to case: "{table...", "{field...", "{value...".
PlaceholderKind KindOf(const QString& placeholder);
// The name as it has to be written into SQL: each dot-separated part that holds a character other than a
// letter, digit or underscore, and is not bracketed already, in square brackets.
QString BracketName(const QString& name);

class CompletionLists {
public:
    static constexpr quint32 kPlaceholderColour = 128;  // maroon, as the colouriser paints placeholders
    static const QStringList kValueKinds;               // "<Null>", "<Numeric>", "<String>"

    CompletionLists(AddinContext& context, CompletionOwner& owner) : mContext(context), mOwner(owner) {}

    // Called after the keys that move the caret (Page Up, Page Down, End, Home and the arrows) are
    // released, and after a mouse button other than the right one is released over the text box.
    void ShowPlaceholderList();
    // The rows of the lists.
    QStringList PrepareTablesList();
    QStringList PrepareFieldsList();
    // Shows the rows at the caret and applies the choice to the selected placeholder.
    void ShowList(const QStringList& rows);
    // Applies a choice to the selected placeholder (what ShowList does once the user chose).
    void ApplyChoice(const QString& chosen);
    void AddTableToQueryDataSource(const QString& name);

    // The field reference at the caret or selection, selected; empty when there is none.
    QString GetSelectedField();
    // The boundaries of a field reference, 1-based, walking out from a position.
    int GetStartFieldPosition(int position);
    int GetEndFieldPosition(int position);
    bool IsDataSourceField(const QString& name);
    // Whether the caret stands inside a bracketed name: open and close receive the 1-based positions of
    // its brackets.
    bool CaretInBrackets(int& open, int& close);
    // The selected single word, for the find dialog; empty when the selection is not one word.
    QString GetSelectedWord();
    // Puts the caret into the first table or field placeholder of a text inserted at start (the whole text
    // when it is empty) and pops up its list; without one the caret goes after the inserted text.
    void SelectFirstPlaceholder(const QString& text, int start);

    // The editor's Template command: the template window in insert mode, the chosen template written at
    // the caret (its {field} or {field1} taken up by the field at the caret), the caret then on its
    // first placeholder.
    void InsertTemplate();

private:
    platform::RichTextControl& rtb() const;
    void ApplyValueKind(const QString& chosen, const QString& placeholder, int position);

    AddinContext& mContext;
    CompletionOwner& mOwner;
};
