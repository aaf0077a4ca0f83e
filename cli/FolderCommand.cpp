#include "cli/FolderCommand.h"

#include "folder/FolderIndex.h"
#include "model/Windows1252.h"

bool FolderCommand::ReadAll(FolderIndex &index, std::FILE *err)
{
    index.Fill();
    bool read = true;
    for (const auto &[folder, reason] : index.Unreadable())
        read = ReportFailure(err, "read", folder, reason) == Success;
    for (const FolderFile &file : index.Files()) {
        if (!file.error.empty())
            read = ReportFailure(err, "read", file.path, file.error) == Success;
    }
    return read;
}

std::string FolderCommand::OneLine(std::string_view bytes)
{
    if (bytes.ends_with('\n'))
        bytes.remove_suffix(1); // the end of the last remark
    std::string text = Windows1252::ToUtf8(bytes);
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos;)
        text.replace(at, 1, " | ");
    return text;
}
