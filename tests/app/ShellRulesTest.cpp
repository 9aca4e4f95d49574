#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>

#include "app/MessageBoxes.h"
#include "platform/linux/FlockInstanceLock.h"
#include "platform/linux/PosixIdentity.h"

using namespace varnoset;

TEST(ErrorBox, AppendsAFullStopOnlyWhenMissing) {
    EXPECT_EQ(errorBoxText("Failed to get data for 'Monochrom'"),
              "Failed to get data for 'Monochrom'.");
    EXPECT_EQ(errorBoxText("Unsupported clipboard format."), "Unsupported clipboard format.");
    EXPECT_EQ(errorBoxText("JPEG error #42\n"), "JPEG error #42.");
}

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
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);

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

    if (saved.isNull()) {
        unsetenv("XDG_RUNTIME_DIR");
    } else {
        setenv("XDG_RUNTIME_DIR", saved.constData(), 1);
    }
}
