#include "storage/FileName.h"

#include "storage/PrintableText.h"

std::string FileName::Printable(std::string_view name)
{
    return PrintableText::Escape(name);
}
