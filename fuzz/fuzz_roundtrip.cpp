// Fuzz target: read, write, read, write. For every document whose texts the
// format can carry, the second write equals the first byte for byte and the
// second read gives the document that was written.
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/TextRules.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>

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

// Everything that a written file carries: every text, comments without the
// empty remark lines that writing drops, and targets as page indexes. An
// option's name is not written, nor a page's field 5.
std::string Shape(const DialogFile &file)
{
    std::unordered_map<const DialogLine *, int> index;
    for (int p = 0; p < file.GetPageCount(); ++p)
        index.emplace(file.GetPage(p), p);
    const auto line = [&index](const DialogLine &l, bool page) {
        std::string text = page ? "P[" + l.GetLabel() + "]" : "  O";
        text += std::to_string(l.GetNumber());
        for (const int field : {1, 2, 3, 4, 6})
            text += "{" + l.GetField(field).GetText() + "}";
        text += " d=" + l.GetDescription() + " r=";
        std::string_view remarks = l.GetComment();
        while (!remarks.empty()) {
            const size_t lf = remarks.find('\n');
            if (lf != 0)
                text += std::string(remarks.substr(0, lf)) + "|";
            remarks = lf == std::string_view::npos ? std::string_view() : remarks.substr(lf + 1);
        }
        if (l.GetTarget())
            text += " ->" + std::to_string(index.at(l.GetTarget()));
        return text + "\n";
    };
    std::string shape;
    for (int p = 0; p < file.GetPageCount(); ++p) {
        shape += line(*file.GetPage(p), true);
        for (int o = 0; o < file.GetPage(p)->GetOptionCount(); ++o)
            shape += line(*file.GetPage(p)->GetOption(o), false);
    }
    return shape;
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
    for (int p = 0; p < first.GetPageCount(); ++p) {
        const DialogLine &page = *first.GetPage(p);
        if (!Storable(page, true))
            return 0;
        for (int o = 0; o < page.GetOptionCount(); ++o) {
            if (!Storable(*page.GetOption(o), false))
                return 0;
        }
    }
    const std::string once = first.WriteText();
    DialogFile second;
    if (!second.ReadText(once))
        Fail("what was written does not read", "", once);
    if (Shape(second) != Shape(first))
        Fail("the second read differs from the document written", Shape(first), Shape(second));
    const std::string twice = second.WriteText();
    if (twice != once)
        Fail("the second write differs from the first", once, twice);
    return 0;
}
