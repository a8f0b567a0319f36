// The desktop editor's drafts: every editor window writes its unsaved text through a DraftWriter of its
// own, and a restored draft's text goes into an editor window that keeps writing that same draft.
#pragma once

#include <QString>

class AddinContext;
class EditorWindow;
struct Draft;

namespace EditorDrafts {

// Gives the window its draft writer (a child of the window, with its own two-second timer).
void attach(EditorWindow& window, AddinContext& context);
// Opens an editor with the draft's text, marked changed: the editor of its saved query, or of a new
// query when it has none (any more). False when no editor could be opened.
bool restore(AddinContext& context, const Draft& draft);

}  // namespace EditorDrafts
