#pragma once

#include <string>

class DialogFile;

// Everything that a written file carries, one line a line: every text,
// comments with their empty remark lines, and targets
// as page indexes. An option's name is not written, nor a page's field 5.
// The round-trip fuzz target compares documents by it, the reader's tests
// what they read.
class DocumentShape {
public:
    static std::string Of(const DialogFile &file);
};
