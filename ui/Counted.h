#pragma once

#include <QString>

// A count and what it counts, in the singular or the plural: "1 match",
// "2 matches".
inline QString Counted(qsizetype count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}
