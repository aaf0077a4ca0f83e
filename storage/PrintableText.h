#pragma once

#include <string>
#include <string_view>

// Text as dlgtool prints it in text and on standard error: on one line, and
// with no control character that a terminal would act on (clear the screen,
// set its title). Control characters are escaped as in C (\n, \r, \t, \xHH)
// and a backslash as \\, so the escaped form reads back to one text only.
class PrintableText {
public:
    // Bytes of any encoding, such as a file name.
    static std::string Escape(std::string_view bytes);
    // A text of a dialog file (Windows-1252) in UTF-8. The five bytes that
    // Windows-1252 leaves undefined stand for C1 control characters and are
    // escaped too.
    static std::string FromWindows1252(std::string_view bytes);
};
