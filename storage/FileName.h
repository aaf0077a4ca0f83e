#pragma once

#include <string>
#include <string_view>

// A file name as dlgtool prints it in text: on one line, whatever bytes the
// name holds. Control characters are escaped as in C (\n, \r, \t, \xHH) and
// a backslash as \\, so the escaped form reads back to one name only.
class FileName {
public:
    static std::string Printable(std::string_view name);
};
