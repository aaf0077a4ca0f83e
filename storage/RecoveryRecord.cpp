#include "storage/RecoveryRecord.h"

#include "storage/HeaderReader.h"

namespace {

constexpr std::string_view kMagic = "Talkwright recovery 1\n";

} // namespace

std::string RecoveryRecord::Header() const
{
    std::string header(kMagic);
    header += "path " + std::to_string(path.size()) + "\n" + path + "\n";
    header += "untitled " + std::string(untitled ? "1" : "0") + "\n";
    header += "base " + std::string(base.exists ? "1 " : "0 ") + std::to_string(base.size) + " " + std::to_string(base.modified.tv_sec) + " "
        + std::to_string(base.modified.tv_nsec) + "\n";
    header += "written " + std::to_string(writtenAt) + "\n";
    header += "bytes " + std::to_string(bytes.size()) + "\n";
    return header;
}

bool RecoveryRecord::Parse(std::string_view text, RecoveryRecord &record)
{
    if (!text.starts_with(kMagic))
        return false;
    HeaderReader in(text.substr(kMagic.size()));
    RecoveryRecord read;
    size_t pathSize = 0;
    size_t byteCount = 0;
    int untitled = 0;
    int exists = 0;
    std::int64_t seconds = 0;
    long nanoseconds = 0;
    if (!(in.Key("path") && in.Number(pathSize, '\n') && in.Bytes(pathSize, read.path, true) && in.Key("untitled")
          && in.Number(untitled, '\n') && in.Key("base") && in.Number(exists, ' ') && in.Number(read.base.size, ' ')
          && in.Number(seconds, ' ') && in.Number(nanoseconds, '\n') && in.Key("written") && in.Number(read.writtenAt, '\n')
          && in.Key("bytes") && in.Number(byteCount, '\n') && in.Last(byteCount, read.bytes)))
        return false;
    if ((untitled != 0 && untitled != 1) || (exists != 0 && exists != 1) || nanoseconds < 0 || nanoseconds >= 1000000000)
        return false;
    read.untitled = untitled == 1;
    read.base.exists = exists == 1;
    read.base.modified.tv_sec = static_cast<time_t>(seconds);
    read.base.modified.tv_nsec = nanoseconds;
    read.missing = byteCount - read.bytes.size();
    record = std::move(read);
    return true;
}

bool RecoveryRecord::BaseChanged(const DiskStamp &now) const
{
    if (now.exists != base.exists)
        return true;
    return now.exists
        && (now.size != base.size || now.modified.tv_sec != base.modified.tv_sec || now.modified.tv_nsec != base.modified.tv_nsec);
}
