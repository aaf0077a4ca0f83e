// Fuzz target: read, write, read, write. For every input that reads, what is
// written reads back dropping nothing and the second write equals the first
// byte for byte; for every document whose texts the format can carry, the
// second read gives the document that was written.
#include "DocumentShape.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/TextRules.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool Storable(const DialogLine &line, bool page)
{
    using Place = TextRules::Place;
    for (const int field : {1, 2, 3, 4, 6}) {
        if (!TextRules::Check(line.GetField(field).GetText(), Place::Field).empty())
            return false;
    }
    if (page && (line.GetLabel().empty() || !TextRules::Check(line.GetLabel(), Place::Label).empty()))
        return false; // an empty name reads back as the page's new number
    if (!TextRules::Check(line.GetDescription(), Place::Description).empty())
        return false;
    std::string_view remarks = line.GetComment();
    while (!remarks.empty()) {
        const size_t lf = remarks.find('\n');
        if (!TextRules::Check(remarks.substr(0, lf), Place::Remark).empty())
            return false;
        remarks = lf == std::string_view::npos ? std::string_view() : remarks.substr(lf + 1);
    }
    return true;
}

void Fail(const char *what, const std::string &expected, const std::string &actual)
{
    std::fprintf(stderr, "%s\n--- expected\n%s\n--- actual\n%s\n", what, expected.c_str(), actual.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DialogFile first;
    if (!first.ReadText(std::string_view(reinterpret_cast<const char *>(data), size)))
        return 0;
    bool storable = true;
    for (int p = 0; p < first.GetPageCount() && storable; ++p) {
        const DialogLine &page = *first.GetPage(p);
        storable = Storable(page, true);
        for (int o = 0; o < page.GetOptionCount() && storable; ++o)
            storable = Storable(*page.GetOption(o), false);
    }
    // Whatever was read, what a save writes reads back, drops nothing and
    // is written again byte for byte: format of format is format.
    const std::string once = first.WriteText();
    DialogFile second;
    if (!second.ReadText(once))
        Fail("what was written does not read", "", once);
    if (!second.GetDroppedLines().empty())
        Fail("what was written drops something when read", "", DroppedLine::List(second.GetDroppedLines(), 10) + once);
    // A document whose texts the format can carry reads back as itself.
    if (storable && DocumentShape::Of(second) != DocumentShape::Of(first))
        Fail("the second read differs from the document written", DocumentShape::Of(first), DocumentShape::Of(second));
    const std::string twice = second.WriteText();
    if (twice != once)
        Fail("the second write differs from the first", once, twice);
    return 0;
}
