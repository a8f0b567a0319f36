#include "completion/CompletionLists.h"

#include "catalogue/mMain.h"
#include "colouring/CSQLColorize.h"
#include "datasources/DataSourceFields.h"
#include "support/ErrorBoundary.h"

#include <QRegularExpression>

namespace {

const QString kModule = QStringLiteral("frmEditor");

bool IsPlaceholderCharacter(QChar c) {
    return c.isLetterOrNumber();
}

bool StartsWithCi(const QString& text, QLatin1String prefix) {
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

// Names that the tables list leaves out: system tables, the hidden queries of forms, reports and
// controls, and the host's clipboard tables.
bool IsHiddenName(const QString& name) {
    return StartsWithCi(name, QLatin1String("MSys")) || StartsWithCi(name, QLatin1String("~sq_")) ||
           StartsWithCi(name, QLatin1String("~TMPCLP"));
}

QString Unbracket(const QString& name) {
    return TrimChars(TrimChars(name, QStringLiteral("]"), 1), QStringLiteral("["), 1);
}

// The text as an SQL text literal: between apostrophes, its own apostrophes doubled; a text already
// between apostrophes is taken as written.
QString TextLiteral(const QString& text) {
    if (text.size() >= 2 && text.startsWith(QLatin1Char('\'')) && text.endsWith(QLatin1Char('\''))) {
        return text;
    }
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

}  // namespace

const QStringList CompletionLists::kValueKinds = {QStringLiteral("<Null>"), QStringLiteral("<Numeric>"),
                                                  QStringLiteral("<String>")};

std::optional<Placeholder> FindPlaceholder(const QString& text, int caret) {
    if (caret <= 0 || caret >= text.size()) {
        return std::nullopt;
    }
    int start = -1;
    for (int at = caret - 1; at >= 0; --at) {
        const QChar c = text.at(at);
        if (c == u'{') {
            start = at;
            break;
        }
        if (!IsPlaceholderCharacter(c)) {
            return std::nullopt;
        }
    }
    if (start < 0) {
        return std::nullopt;
    }
    for (int at = caret; at < text.size(); ++at) {
        const QChar c = text.at(at);
        if (c == u'}') {
            return Placeholder{start, at - start + 1};
        }
        if (!IsPlaceholderCharacter(c)) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

PlaceholderKind KindOf(const QString& placeholder) {
    if (StartsWithCi(placeholder, QLatin1String("{table"))) {
        return PlaceholderKind::Table;
    }
    if (StartsWithCi(placeholder, QLatin1String("{field"))) {
        return PlaceholderKind::Field;
    }
    if (StartsWithCi(placeholder, QLatin1String("{value"))) {
        return PlaceholderKind::Value;
    }
    return PlaceholderKind::None;
}

QString BracketName(const QString& name) {
    QStringList parts = name.split(QLatin1Char('.'));
    for (QString& part : parts) {
        const bool bracketed = part.startsWith(QLatin1Char('[')) && part.endsWith(QLatin1Char(']'));
        if (!bracketed && NeedsBrackets(part)) {
            part = QLatin1Char('[') + part + QLatin1Char(']');
        }
    }
    return parts.join(QLatin1Char('.'));
}

platform::RichTextControl& CompletionLists::rtb() const {
    platform::RichTextControl* control = mOwner.rtbSQLEditor();
    if (!control) {
        RaiseObjectNotSet();
    }
    return *control;
}

void CompletionLists::ShowPlaceholderList() {
    try {
        platform::RichTextControl& control = rtb();
        if (control.selLength() != 0 || control.selColor() != kPlaceholderColour) {
            return;
        }
        const QString text = control.text();
        const auto found = FindPlaceholder(text, control.selStart());
        if (!found) {
            return;
        }
        control.setSelStart(found->start);
        control.setSelLength(found->length);
        QStringList rows;
        switch (KindOf(control.selText())) {
            case PlaceholderKind::Table:
                rows = PrepareTablesList();
                break;
            case PlaceholderKind::Field:
                rows = PrepareFieldsList();
                break;
            case PlaceholderKind::Value:
                rows = PrepareFieldsList() + kValueKinds;
                break;
            case PlaceholderKind::None:
                return;
        }
        if (!rows.isEmpty()) {
            ShowList(rows);
        }
    } catch (...) {
        // Nothing pops up.
    }
}

QStringList CompletionLists::PrepareTablesList() {
    return ErrorBoundary(
        mContext.services(), QStringLiteral("PrepareTablesList"), kModule, QStringList(), [&] {
            QStringList rows;
            for (const QString& name : mContext.currentDatabase()->documentNames(QStringLiteral("Tables"))) {
                if (!IsHiddenName(name)) {
                    rows << name;
                }
            }
            return rows;
        });
}

QStringList CompletionLists::PrepareFieldsList() {
    return ErrorBoundary(mContext.services(), QStringLiteral("PrepareFieldsList"), kModule, QStringList(),
                         [&] {
                             QStringList rows;
                             const CV_QueryDataSource* dataSource = mOwner.queryDataSource().get();
                             if (!dataSource) {
                                 return rows;
                             }
                             // A full name is offered once, compared as the record's keys are.
                             TextIndex offered;
                             rows.reserve(dataSource->Fields.count());
                             offered.reserve(std::size_t(dataSource->Fields.count()));
                             const auto rowAt = [&rows](int i) -> const QString& { return rows.at(i); };
                             for (const auto& entry : dataSource->Fields) {
                                 const QString fullName = entry.item.FullName();
                                 const size_t hash = keyed_detail::foldedHash(fullName);
                                 if (offered.find(fullName, hash, rowAt) < 0) {
                                     offered.insert(hash, int(rows.size()));
                                     rows << fullName;
                                 }
                             }
                             return rows;
                         });
}

void CompletionLists::ShowList(const QStringList& rows) {
    const QString chosen = mOwner.popUps().ShowList(rows);
    if (!chosen.isEmpty()) {
        ApplyChoice(chosen);
    }
}

void CompletionLists::ApplyChoice(const QString& chosen) {
    ErrorBoundary(mContext.services(), QStringLiteral("ShowList"), kModule, [&] {
        platform::RichTextControl& control = rtb();
        const QString placeholder = control.selText();
        const int position = control.selStart();
        if (kValueKinds.contains(chosen) && KindOf(placeholder) == PlaceholderKind::Value) {
            ApplyValueKind(chosen, placeholder, position);
            return;
        }
        const QString name = BracketName(chosen);
        const QString text = control.text();
        QString before = text.left(position);
        QString after = text.mid(position);
        const bool copies = after.indexOf(placeholder, placeholder.size(), Qt::CaseInsensitive) >= 0 ||
                            before.contains(placeholder, Qt::CaseInsensitive);
        if (copies) {
            before.replace(placeholder, name, Qt::CaseInsensitive);
            after.replace(placeholder, name, Qt::CaseInsensitive);
            // Recorded like any other change of the text (one undo step, the text marked changed, its
            // draft written): colouring is not suspended around it, the pass that follows repaints it all.
            control.setText(before + after);
            control.setSelStart(int(before.size() + name.size()));
            if (CSQLColorize* colorizer = mOwner.colorizer()) {
                colorizer->HighlightRefresh();
            }
        } else {
            control.setSelText(name);
        }
        if (KindOf(placeholder) == PlaceholderKind::Table) {
            AddTableToQueryDataSource(Unbracket(name));
        }
    });
}

void CompletionLists::ApplyValueKind(const QString& chosen, const QString& placeholder, int position) {
    platform::RichTextControl& control = rtb();
    const QString text = control.text();
    const int length = int(placeholder.size());
    // The characters before the placeholder, 1 = the one right before it; a blank outside the text.
    const auto before = [&](int back) {
        const int at = position - back;
        return at >= 0 && at < text.size() ? text.at(at) : QChar(u' ');
    };
    const auto endsWith = [&](QLatin1String operatorText) {
        const int start = position - int(operatorText.size());
        return start >= 0 &&
               QStringView(text).mid(start, operatorText.size()).compare(operatorText, Qt::CaseInsensitive) ==
                   0;
    };
    if (chosen == kValueKinds[0]) {
        QString insert = QStringLiteral("Null");
        int back = 0;
        QString test;
        // "<=", ">=" and "!=" are no equality: their placeholder only becomes Null.
        const auto equality = [&](int back) { return !QStringLiteral("<>!").contains(before(back + 1)); };
        if (endsWith(QLatin1String("=")) && equality(1)) {
            back = 1;
            test = QStringLiteral("Is Null");
        } else if (endsWith(QLatin1String("= ")) && equality(2)) {
            back = 2;
            test = QStringLiteral("Is Null");
        } else if (endsWith(QLatin1String("<>")) || endsWith(QLatin1String("><"))) {
            back = 2;
            test = QStringLiteral("Is Not Null");
        } else if (endsWith(QLatin1String("<> ")) || endsWith(QLatin1String(">< "))) {
            back = 3;
            test = QStringLiteral("Is Not Null");
        }
        if (back > 0) {
            insert = before(back + 1) == u' ' ? test : QLatin1Char(' ') + test;
            control.setSelStart(position - back);
            control.setSelLength(length + back);
        }
        control.setSelText(insert);
        return;
    }
    const bool numeric = chosen == kValueKinds[1];
    const std::optional<QString> input = mOwner.popUps().InputText(numeric);
    if (!input) {
        return;  // cancelled: the placeholder stays for another try
    }
    const QString value = input->trimmed();
    if (value.isEmpty() && numeric) {
        return;  // no number given
    }
    control.setFocus();
    control.setSelText(numeric ? value : TextLiteral(value));
}

void CompletionLists::AddTableToQueryDataSource(const QString& name) {
    ErrorBoundary(mContext.services(), QStringLiteral("AddTableToQueryDataSource"), kModule, [&] {
        std::unique_ptr<CV_QueryDataSource>& dataSource = mOwner.queryDataSource();
        if (!dataSource) {
            dataSource = std::make_unique<CV_QueryDataSource>();
        }
        if (dataSource->SourceNames.addUnique(name, name)) {
            GetTableFields(mContext, name, *dataSource);
        }
        dataSource->AnalyzeFields();
    });
}

QString CompletionLists::GetSelectedField() {
    return ErrorBoundary(mContext.services(), QStringLiteral("GetSelectedField"), kModule, QString(), [&] {
        platform::RichTextControl& control = rtb();
        int open = 0;
        int close = 0;
        if (!CaretInBrackets(open, close)) {
            open = control.selStart();
            close = control.selStart() + control.selLength();
        }
        open = GetStartFieldPosition(open);
        close = GetEndFieldPosition(close);
        if (close - open + 1 < 0 || open == 0) {
            return QString();
        }
        const QString field = control.text().mid(open - 1, close - open + 1);
        const bool qualified = field.contains(QLatin1Char('.')) && !field.endsWith(QLatin1String(".*"));
        if (!qualified && (field.isEmpty() || !IsDataSourceField(Unbracket(field)))) {
            return QString();
        }
        control.setSelStart(open - 1);
        control.setSelLength(close - open + 1);
        return field;
    });
}

int CompletionLists::GetStartFieldPosition(int position) {
    return ErrorBoundary(mContext.services(), QStringLiteral("GetStartFieldPosition"), kModule, 0, [&] {
        const QString text = rtb().text();
        bool inBrackets = false;
        for (int at = std::min(position, int(text.size())); at >= 1; --at) {
            const QChar c = text.at(at - 1);
            if (c == u']') {
                inBrackets = true;
            } else if (c == u'[') {
                inBrackets = false;
            } else if (!inBrackets && (c == u',' || c == u'(' || c == u' ' || c.unicode() < 32)) {
                return at + 1;
            }
        }
        // A reference that begins the text starts at its first character.
        return text.isEmpty() ? 0 : 1;
    });
}

int CompletionLists::GetEndFieldPosition(int position) {
    return ErrorBoundary(mContext.services(), QStringLiteral("GetEndFieldPosition"), kModule, 0, [&] {
        const QString text = rtb().text();
        bool inBrackets = false;
        for (int at = std::max(position, 0) + 1; at <= text.size(); ++at) {
            const QChar c = text.at(at - 1);
            if (c == u'[') {
                inBrackets = true;
            } else if (c == u']') {
                inBrackets = false;
            } else if (!inBrackets &&
                       (c == u',' || c == u')' || c == u';' || c == u' ' || c.unicode() < 32)) {
                return at - 1;
            }
        }
        return int(text.size());
    });
}

bool CompletionLists::IsDataSourceField(const QString& name) {
    const CV_QueryDataSource* dataSource = mOwner.queryDataSource().get();
    if (!dataSource) {
        return false;
    }
    for (const auto& entry : dataSource->Fields) {
        if (Unbracket(entry.item.Name).compare(name, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

bool CompletionLists::CaretInBrackets(int& open, int& close) {
    const QString text = rtb().text();
    const int caret = std::min(rtb().selStart(), int(text.size()));
    const QStringView head = QStringView(text).left(caret);
    open = int(head.lastIndexOf(u'[')) + 1;
    if (open > 0 && head.indexOf(u']', open) >= 0) {
        open = 0;
    }
    close = 0;
    if (open != 0) {
        const qsizetype closing = text.indexOf(QLatin1Char(']'), caret);
        const qsizetype opening = text.indexOf(QLatin1Char('['), caret);
        if (closing >= 0 && (opening < 0 || opening > closing)) {
            close = int(closing) + 1;
        }
    }
    return open != 0 && close != 0;
}

QString CompletionLists::GetSelectedWord() {
    const QString word = rtb().selText().trimmed();
    if (word.isEmpty() || word.contains(QLatin1Char(' ')) || word.contains(QLatin1Char(',')) ||
        word.contains(QLatin1String("\r\n"))) {
        return QString();
    }
    return word;
}

void CompletionLists::SelectFirstPlaceholder(const QString& text, int start) {
    try {
        platform::RichTextControl& control = rtb();
        const QString inserted = text.isEmpty() ? control.text() : text;
        qsizetype found = inserted.indexOf(QLatin1String("{table"), 0, Qt::CaseInsensitive);
        if (found < 0) {
            found = inserted.indexOf(QLatin1String("{field"), 0, Qt::CaseInsensitive);
        }
        if (found < 0) {
            control.setSelStart(start + int(inserted.size()));
            return;
        }
        // Just inside the brace, where the list pops up.
        control.setSelStart(start + int(found) + 1);
        CSQLColorize* colorizer = mOwner.colorizer();
        if (colorizer && control.selColor() != kPlaceholderColour) {
            // The inserted text may still wait for the colouring pause; the list needs its colour now.
            colorizer->NoRedraw = false;
            colorizer->HighlightRefresh();
        }
        ShowPlaceholderList();
    } catch (...) {
    }
}

void CompletionLists::InsertTemplate() {
    ErrorBoundary(mContext.services(), QStringLiteral("InsertTemplate"), kModule, [&] {
        platform::RichTextControl& control = rtb();
        const std::shared_ptr<TemplatesWindow> window = mContext.windows().CreateTemplatesWindow(mContext);
        if (!window) {
            return;
        }
        window->Init(1);
        window->setNoContentInEditor(control.text().trimmed().isEmpty());
        window->ShowModal();
        if (!window->ButtonOk()) {
            return;
        }
        QString content = window->TemplateContent();
        QString marker;
        if (content.contains(QLatin1String("{field}"), Qt::CaseInsensitive)) {
            marker = QStringLiteral("{field}");
        } else if (content.contains(QLatin1String("{field1}"), Qt::CaseInsensitive)) {
            marker = QStringLiteral("{field1}");
        }
        if (!marker.isEmpty()) {
            const QString field = GetSelectedField();
            if (!field.isEmpty()) {
                content.replace(marker, field, Qt::CaseInsensitive);
            }
        }
        const int position = control.selStart();
        control.setSelText(content);
        SelectFirstPlaceholder(content, position);
    });
}
