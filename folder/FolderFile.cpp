#include "folder/FolderFile.h"

#include "model/DialogFile.h"
#include "rules/Linter.h"
#include "storage/DialogFiles.h"

namespace {

constexpr int kTries = 3;

} // namespace

FolderFile FolderFile::Read(const std::string &path, bool check, const Reader &reader)
{
    FolderFile entry;
    entry.path = path;
    for (int tries = 1;; ++tries) {
        const DiskStamp before = DiskStamp::Of(path);
        auto document = std::make_shared<DialogFile>();
        std::string error;
        const bool read = reader ? reader(path, *document, error) : DialogFiles::Read(path, *document, error);
        entry.stamp = DiskStamp::Of(path);
        if (!(entry.stamp == before)) {
            if (tries < kTries)
                continue;
            entry.error = "it changed while it was read, " + std::to_string(kTries) + " times in a row";
            return entry;
        }
        if (!read) {
            entry.error = error;
            return entry;
        }
        for (const Finding &finding : check ? Linter::CheckDocument(*document, path) : std::vector<Finding>()) {
            entry.errors += finding.severity == Finding::Error;
            entry.warnings += finding.severity == Finding::Warning;
        }
        entry.pages = document->GetPageCount();
        entry.document = std::move(document);
        return entry;
    }
}
