#pragma once

#include <grp.h>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

// The user that tests of permissions run as, where the machine allows it:
// a test run as root drops to nobody for them (as root, every permission
// would hold), one run as another user stays that user. What that user
// must reach goes in a folder it can reach, never in the checkout, which
// may lie where only its owner can enter.
namespace Unprivileged {

inline bool AsRoot() { return geteuid() == 0; }
inline uid_t User() { return AsRoot() ? 65534 : getuid(); }
inline gid_t Group() { return AsRoot() ? 65534 : getgid(); }

// Makes this process (a child made for it) that user, in its own group and
// the others given (root only); false when it cannot.
inline bool Become(const std::vector<gid_t> &others = {})
{
    if (!AsRoot())
        return true;
    std::vector<gid_t> groups{Group()};
    groups.insert(groups.end(), others.begin(), others.end());
    return setgroups(groups.size(), groups.data()) == 0 && setgid(Group()) == 0 && setuid(User()) == 0;
}

} // namespace Unprivileged
