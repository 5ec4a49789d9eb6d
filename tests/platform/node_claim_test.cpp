#include "hid_backend.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/process.h"

using platform::OpenError;
using platform::backend::NodeClaim;

namespace {

TEST(NodeClaim, ExclusiveUntilReleasedAlsoAcrossProcesses) {
    testing_support::TempDir dir;
    const std::string node = dir.file("hidraw-node");
    testing_support::writeFile(node, "");

    NodeClaim first;
    ASSERT_EQ(NodeClaim::acquire(node, first), OpenError::None);
    NodeClaim second;
    EXPECT_EQ(NodeClaim::acquire(node, second), OpenError::Busy);

    // Another process is refused while this one holds the node.
    const pid_t child = ::fork();
    if (child == 0) {
        NodeClaim theirs;
        ::_exit(NodeClaim::acquire(node, theirs) == OpenError::Busy ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    first = NodeClaim(); // released
    EXPECT_EQ(NodeClaim::acquire(node, second), OpenError::None);
}

TEST(NodeClaim, TellsMissingNodesAndMissingPermission) {
    testing_support::TempDir dir;
    NodeClaim claim;
    EXPECT_EQ(NodeClaim::acquire(dir.file("no-such-node"), claim), OpenError::NotFound);
    if (::geteuid() != 0) { // root opens any file
        const std::string node = dir.file("locked");
        testing_support::writeFile(node, "");
        ::chmod(node.c_str(), 0400);
        EXPECT_EQ(NodeClaim::acquire(node, claim), OpenError::Permission);
    }
}

} // namespace
