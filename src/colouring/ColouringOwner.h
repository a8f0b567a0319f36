// What the colouriser asks of the window whose text box it colours.
#pragma once

#include <QString>

class ColouringOwner {
public:
    virtual ~ColouringOwner() = default;
    // The whole text as it was before the latest change.
    virtual QString PreviousText() const = 0;
};
