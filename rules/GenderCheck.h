#pragma once

#include <string>
#include <string_view>

// What an option's gender check (field 2 of a PC option) asks of the PC.
// The field is read as atoi reads it: empty is anyone, 0 female PCs only,
// 1 male PCs only; other numbers name no one the editor can show.
class GenderCheck {
public:
    // The first three in the order the option dialog lists them.
    enum Who { Anyone, MaleOnly, FemaleOnly, Unknown };

    explicit GenderCheck(std::string_view text);

    Who GetWho() const { return m_who; }
    // Empty, "0" or "1" exactly: the forms dlgtool check does not warn of.
    bool IsKnownForm() const { return m_known; }
    // Whether a PC of that gender passes the check, as the page view reads
    // it: by its value, so "00" asks for female PCs; a number that names
    // no one asks nothing.
    bool Passes(bool female) const;

    // The text the editor writes for who (Unknown writes as Anyone).
    static std::string Text(Who who);

private:
    Who m_who;
    bool m_known;
};
