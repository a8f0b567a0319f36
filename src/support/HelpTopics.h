// The context ids of the add-in's help: each window's HelpContextID, mapped to its page by the help's
// topics.map. A window binds its id with its help binding; F1 there opens the page.
#pragma once

namespace helptopic {

inline constexpr int Contents = 0;        // the contents page
inline constexpr int Editor = 1000;       // frmEditor, the SQL editor
inline constexpr int FindReplace = 1010;  // frmFindReplaceDlg, in the editor and in the trees
inline constexpr int Fields = 1020;       // frmFields
inline constexpr int Completion = 1030;   // frmList and frmTextInput
inline constexpr int Templates = 1040;    // frmTemplates
inline constexpr int TreeWindow = 2000;   // frmQorvel, the Uses and Used By trees
inline constexpr int Progress = 2010;     // frmProgressbar
inline constexpr int About = 3000;        // frmAbout

// The commands' pages, by the add-in's command number (New Query 0 ... Help Contents 8, About 9).
inline constexpr int FirstCommand = 100;
inline constexpr int CommandCount = 10;

}  // namespace helptopic
