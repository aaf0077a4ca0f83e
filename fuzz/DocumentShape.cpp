#include "DocumentShape.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <string_view>
#include <unordered_map>

std::string DocumentShape::Of(const DialogFile &file)
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
