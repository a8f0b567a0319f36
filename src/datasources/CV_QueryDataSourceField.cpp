#include "datasources/CV_QueryDataSourceField.h"

#include <algorithm>

bool NeedsBrackets(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        const char16_t code = c.unicode();
        return !((code >= u'0' && code <= u'9') || (code >= u'A' && code <= u'z'));
    });
}
