#include "support/without_root_rights.h"

#include <grp.h>
#include <unistd.h>

namespace quillmere::test {

void withoutRootRights() {
    if (::geteuid() != 0) return;
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
        ::_exit(kSetUpFailed);
}

}  // namespace quillmere::test
