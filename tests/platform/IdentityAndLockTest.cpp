#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>

#include "platform/linux/FlockInstanceLock.h"
#include "platform/linux/PosixIdentity.h"
#include "tests/support/EnvironmentOverride.h"

// The account and the computer as the system tells them, and the single-instance lock.
using namespace varnoset;
using varnoset::test::EnvironmentOverride;

TEST(Identity, OsNameComesFromOsRelease) {
    EXPECT_EQ(PosixIdentity::prettyNameFromOsRelease(
                  "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(PosixIdentity::prettyNameFromOsRelease("NAME=Alpine\nID=alpine\n"), "Alpine");
    EXPECT_EQ(PosixIdentity::prettyNameFromOsRelease("ID=x\n"), "");
    const PosixIdentity identity;
    EXPECT_TRUE(identity.userName().has_value());  // the account database knows us
    EXPECT_TRUE(identity.computerName().has_value());
    EXPECT_FALSE(identity.osName().value_or("").empty());
}

TEST(InstanceLock, OneHolderAtATimeAndACrashFreesIt) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const EnvironmentOverride runtimeDir("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());

    {
        FlockInstanceLock first;
        FlockInstanceLock second;
        EXPECT_TRUE(first.acquire("Varnoset_v3.00"));
        EXPECT_FALSE(second.acquire("Varnoset_v3.00"));
        EXPECT_TRUE(second.acquire("Another_name"));
        first.release();
        EXPECT_TRUE(second.acquire("Varnoset_v3.00"));
    }

    // A holder killed outright leaves no lock behind.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FlockInstanceLock held;
        const char ok = held.acquire("Varnoset_v3.00") ? 'y' : 'n';
        [[maybe_unused]] auto w = write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, 'y');
    FlockInstanceLock waiting;
    EXPECT_FALSE(waiting.acquire("Varnoset_v3.00"));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(waiting.acquire("Varnoset_v3.00"));
    close(ready[0]);
    close(ready[1]);
}
