#include "compare/DiffWording.h"

namespace {

using Diff = ConversationDiff;

std::string Quoted(const std::string &name)
{
    return "\"" + name + "\"";
}

// Parts joined as a writer lists them.
class Parts {
public:
    void Add(const std::string &part) { m_text.append(m_text.empty() ? "" : ", ").append(part); }
    const std::string &Text() const { return m_text; }

private:
    std::string m_text;
};

} // namespace

std::string DiffWording::Page(const Diff::Page &page)
{
    Parts what;
    if (page.change == Diff::Change::Added)
        what.Add("added as page " + std::to_string(page.after + 1));
    if (page.change == Diff::Change::Removed)
        what.Add("removed (was page " + std::to_string(page.before + 1) + ")");
    if (page.renamed)
        what.Add("renamed from " + Quoted(page.oldName));
    if (page.moved)
        what.Add("moved from page " + std::to_string(page.before + 1) + " to page " + std::to_string(page.after + 1));
    if (page.change == Diff::Change::Changed && (!page.fields.empty() || !page.options.empty()))
        what.Add("changed");
    return "page " + Quoted(page.name) + ": " + what.Text();
}

std::string DiffWording::Option(const Diff::Option &option)
{
    Parts what;
    if (option.change == Diff::Change::Added)
        what.Add("added");
    if (option.change == Diff::Change::Removed)
        what.Add("removed (was option " + std::to_string(option.before + 1) + ")");
    if (option.moved)
        what.Add("moved from option " + std::to_string(option.before + 1));
    if (option.change == Diff::Change::Changed && !option.fields.empty())
        what.Add("changed");
    std::string text = "option";
    if (option.after >= 0)
        text += " " + std::to_string(option.after + 1);
    return text + " " + Quoted(option.speech) + ": " + what.Text();
}
