#pragma once

#include <grp.h>
#include <unistd.h>

// The user that tests of permissions run as where the machine allows it: a
// test run as root drops to nobody (as root, every permission would hold),
// one run as another user stays that user. What it must reach goes in a
// folder it can reach, never in the checkout, which may be its owner's alone.
namespace Unprivileged {

inline bool AsRoot() { return geteuid() == 0; }
inline uid_t User() { return AsRoot() ? 65534 : getuid(); }
inline gid_t Group() { return AsRoot() ? 65534 : getgid(); }

// Makes this process (a child made for it) that user.
inline bool Become()
{
    return !AsRoot() || (setgroups(0, nullptr) == 0 && setgid(Group()) == 0 && setuid(User()) == 0);
}

} // namespace Unprivileged
