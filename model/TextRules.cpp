#include "model/TextRules.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"

std::string TextRules::Check(std::string_view text, Place place)
{
    if (text.find('\0') != std::string_view::npos)
        return "It holds a NUL character, which ends a dialog file.";
    if (text.find_first_of("\r\n") != std::string_view::npos)
        return "It holds a line break; every text must stay on one line.";
    if (place == Place::Field) {
        if (text.find_first_of("{}") != std::string_view::npos)
            return "It holds a brace (\"{\" or \"}\"); braces mark the fields of a line.";
        if (text.find("//") != std::string_view::npos)
            return "It holds \"//\", which starts a comment and would cut the line.";
        return {};
    }

    if (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.back() == ' ' || text.back() == '\t'))
        return "It starts or ends with a blank, which reading drops.";
    // A page name is taken from after the first "[LABEL]", so a name may hold
    // either keyword; other comments must not hold a keyword read before theirs.
    if (place != Place::Label && text.find("[LABEL]") != std::string_view::npos)
        return "It holds \"[LABEL]\", which would be read as a page name.";
    if (place == Place::Remark && text.find("[DESCRIPTION]") != std::string_view::npos)
        return "It holds \"[DESCRIPTION]\", which would be read as a description.";
    return {};
}

bool TextRules::ReadsBackAsPage(std::string_view femaleSpeech)
{
    return !femaleSpeech.empty() && !(femaleSpeech.front() >= '0' && femaleSpeech.front() <= '9');
}

std::vector<int> TextRules::FindUnreadablePages(const DialogFile &file)
{
    std::vector<int> pages;
    for (int i = 0; i < file.GetPageCount(); ++i) {
        if (!ReadsBackAsPage(file.GetPage(i)->ViewFields()[2]))
            pages.push_back(i);
    }
    return pages;
}

int TextRules::FindReadBackOwner(const DialogFile &file, int index)
{
    while (--index >= 0 && !ReadsBackAsPage(file.GetPage(index)->ViewFields()[2])) {
    }
    return index;
}
