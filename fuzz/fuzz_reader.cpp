// Fuzz target: any bytes through the reader, the checks of dlgtool check
// and the writer. Nothing may crash, hang or touch memory it should not.
#include "cli/Linter.h"
#include "model/DialogFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DialogFile file;
    if (!file.ReadText(std::string_view(reinterpret_cast<const char *>(data), size)))
        return 0;
    Linter::CheckDocument(file, "fuzz.dlg");
    file.WriteText();
    return 0;
}
