#pragma once

#include <sys/types.h>

namespace quillmere::test {

// The user "nobody", whom a test run as root hands its child processes to.
constexpr uid_t kNobody = 65534;
constexpr int kSetUpFailed = 125;

// Run in a child process before its program starts: makes it the user
// "nobody" when the tests run as root, so that file permissions hold.
// A child that cannot drop its rights ends with kSetUpFailed.
void withoutRootRights();

}  // namespace quillmere::test
