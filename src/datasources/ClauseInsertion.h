// Inserting a column name into the SQL text of an editor at its caret: the clause the caret stands in
// decides whether list commas go around the name, the text before and after it whether blanks do.
#pragma once

#include "platform/Platform.h"
#include "platform/RichTextControl.h"

#include <QString>

// The colour the colouriser gives keywords (RGB 0, 0, 128, red in the low byte).
inline constexpr quint32 kKeywordColour = 0x800000;

// The clause ("Select", "Where", "Having", "Group By", "Order By"; "" for none) in which the caret
// stands; end receives the 1-based position just after the clause's keyword (0 for none).
QString GetSQLPart(const platform::RichTextControl& rtb, int& end);
// What goes before and after a name inserted at the caret.
QString FieldPrefix(const platform::RichTextControl& rtb, bool inList);
QString FieldSuffix(const platform::RichTextControl& rtb, bool inList);
// Replaces the selection by the name with its prefix and suffix and puts the caret after them; false (and
// the failure reported) when that failed.
bool AddFields(const platform::Services& services, platform::RichTextControl& rtb, const QString& name);
// A field dropped on the text box at a point (the control's coordinates): the caret moves to the character
// nearest the point, and the name goes in there as AddFields puts it.
bool DropField(const platform::Services& services, platform::RichTextControl& rtb, const QPoint& point,
               const QString& name);
