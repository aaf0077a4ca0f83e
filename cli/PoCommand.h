#pragma once

#include "cli/Command.h"
#include "translation/TranslationEntry.h"

// The translators' round trip on gettext: extract writes a PO template of
// the texts of conversations, apply writes a conversation with a PO file's
// translations in place, check says what a PO file still lacks.
class PoCommand : public Command {
public:
    std::string_view Name() const override { return "po"; }
    std::string_view Usage() const override
    {
        return "po extract FILE... [-o OUT.pot]\n"
               "       dlgtool po apply FILE LANG.po [-o OUT]\n"
               "       dlgtool po check FILE LANG.po";
    }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;

private:
    int Extract(const std::vector<std::string> &files, const std::string &output, std::FILE *out, std::FILE *err) const;
    int Apply(const std::string &input, const std::string &po, const std::string &output, std::FILE *out, std::FILE *err) const;
    int Check(const std::string &input, const std::string &po, std::FILE *out, std::FILE *err) const;
    // The document that apply and check read, and the entries of the PO
    // file; false when one cannot be read, said on err.
    static bool ReadBoth(const std::string &input, const std::string &po, DialogFile &file, std::vector<TranslationEntry> &entries, std::FILE *err);
};
