// One command of the add-in's ribbon group: the one table from which the ribbon definition, the dispatch
// of the ribbon callback and the command-line tool's list of control ids are all made.
#pragma once

#include <QString>

class AccessConnect;

struct RibbonCommand {
    // Where the ribbon definition places the button.
    enum class Place {
        Large,        // a large button at the head of the group
        SplitFace,    // the face of the split button
        SplitMenu,    // an item of the split button's menu
        Button,       // a normal button after the split button
        NotOnRibbon,  // dispatched, but shown by no button (an id older hosts send)
    };

    QString id;
    QString label;
    QString image;  // imageMso; empty for none
    QString tip;    // supertip, line breaks as "\r"; empty for none
    Place place;
    // The command procedure; nullptr for a button whose click only refreshes which commands apply.
    void (AccessConnect::*procedure)();
};
