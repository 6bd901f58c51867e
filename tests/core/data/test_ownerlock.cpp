#include "core/data/kqerror.h"
#include "core/data/ownerlock.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

// Each OwnerLock stands for another process: the locks of two objects conflict as those of two
// processes do.
TEST(OwnerLock, SharedHoldersMeetAndTheRestoreIsRefusedNamingWhoHoldsTheFolder) {
    QTemporaryDir dir;
    using M = OwnerLock::Mode;
    struct Case {
        M held;
        M wanted;
        M blocker; // Unlocked: granted
    };
    for (const Case c : {Case{M::Program, M::Program, M::Unlocked},
                         {M::Program, M::Command, M::Unlocked},
                         {M::Command, M::Command, M::Unlocked},
                         {M::Program, M::Exclusive, M::Program},
                         {M::Command, M::Exclusive, M::Command},
                         {M::Exclusive, M::Program, M::Exclusive},
                         {M::Exclusive, M::Command, M::Exclusive},
                         {M::Exclusive, M::Exclusive, M::Exclusive}}) {
        OwnerLock holder;
        ASSERT_TRUE(holder.set(dir.path(), c.held));
        OwnerLock other;
        EXPECT_EQ(other.set(dir.path(), c.wanted), c.blocker == M::Unlocked) << c.held << " " << c.wanted;
        EXPECT_EQ(other.blocker(), c.blocker) << c.held << " " << c.wanted;
        EXPECT_EQ(other.mode(), c.blocker == M::Unlocked ? c.wanted : M::Unlocked);
    }
    EXPECT_TRUE(QFile::exists(dir.filePath("owner.lock")));
}

TEST(OwnerLock, ARunningProgramTurnsExclusiveOnlyWhenAloneAndKeepsItsLockWhenRefused) {
    QTemporaryDir dir;
    OwnerLock program;
    ASSERT_TRUE(program.set(dir.path(), OwnerLock::Program));
    ASSERT_TRUE(program.set(dir.path(), OwnerLock::Exclusive));
    OwnerLock command;
    EXPECT_FALSE(command.set(dir.path(), OwnerLock::Command));
    ASSERT_TRUE(program.set(dir.path(), OwnerLock::Program));
    ASSERT_TRUE(command.set(dir.path(), OwnerLock::Command));

    EXPECT_FALSE(program.set(dir.path(), OwnerLock::Exclusive, 100)); // waits, then gives up
    EXPECT_EQ(program.blocker(), OwnerLock::Command);
    EXPECT_EQ(program.mode(), OwnerLock::Program);
    ASSERT_TRUE(command.set(dir.path(), OwnerLock::Unlocked));
    OwnerLock restore;
    EXPECT_FALSE(restore.set(dir.path(), OwnerLock::Exclusive)); // the refused change kept the lock
    EXPECT_EQ(restore.blocker(), OwnerLock::Program);

    ASSERT_TRUE(program.set(dir.path(), OwnerLock::Unlocked));
    EXPECT_TRUE(restore.set(dir.path(), OwnerLock::Exclusive));
    EXPECT_THROW(OwnerLock().set(dir.filePath("missing"), OwnerLock::Command), KqError);
}
