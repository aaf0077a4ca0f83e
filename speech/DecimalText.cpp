#include "speech/DecimalText.h"

#include <algorithm>
#include <climits>

int DecimalText::ToInt(std::string_view text)
{
    size_t i = 0;
    // isspace in the C locale: blank, tab, LF, VT, FF, CR.
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate towards the sign's limit so that INT_MIN itself is exact.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < limit)
            value = std::min(limit, value * 10 + (text[i] - '0'));
    }
    return static_cast<int>(negative ? -value : value);
}
