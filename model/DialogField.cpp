#include "model/DialogField.h"


bool DialogField::Parse(std::string_view text)
{
    m_text = text;
    return true;
}
