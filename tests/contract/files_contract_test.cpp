// The file operations the log and the configuration copy rely on, run against the simulated Windows and
// against the real calls under Wine (see registry_contract_test.cpp): a log shared by many runs, each
// appending one whole record under a lock, rotated by a rename while others hold it open.
#include <gtest/gtest.h>

#include <string>

#include "contract/fixture.h"
#include "contract/known_differences.h"

namespace vexa::contract {
namespace {

class FilesContract : public ::testing::Test {
 protected:
  FilesContract() : fixture_(MakeFixture()), platform_(fixture_->platform()), files_(platform_.files) {}

  std::string Content(const std::string& path) {
    const FileRead read = files_.ReadWholeFile(path.c_str(), 1 << 20);
    return read.ok() ? read.bytes : "<none>";
  }

  std::unique_ptr<Fixture> fixture_;
  Platform platform_;
  Files& files_;
};

TEST_F(FilesContract, TwoSharedHandlesAppendWholeRecordsAtTheEnd) {
  const std::string path = fixture_->ScratchPath("shared.log");
  const Files::Opened first = files_.OpenShared(path.c_str());
  const Files::Opened second = files_.OpenShared(path.c_str());  // another run, or a viewer following the log
  ASSERT_EQ(first.status, Files::Open::Opened);
  ASSERT_EQ(second.status, Files::Open::Opened);
  EXPECT_EQ(files_.SizeOf(first.file), 0u);
  EXPECT_TRUE(files_.Append(first.file, "one\r\n"));
  EXPECT_TRUE(files_.Append(second.file, "two\r\n"));
  EXPECT_TRUE(files_.Append(first.file, "three\r\n"));
  EXPECT_EQ(files_.SizeOf(second.file), 17u);
  EXPECT_EQ(files_.ReadAt(second.file, 0, 100).bytes, "one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(files_.ReadAt(second.file, 15, 100).bytes, "\r\n");
  EXPECT_EQ(files_.ReadAt(second.file, 5, 3).bytes, "two");
  EXPECT_TRUE(files_.Flush(first.file));
  EXPECT_EQ(files_.FileSize(path.c_str()), 17u);
  EXPECT_TRUE(files_.IsPlainFile(first.file, "shared.log"));
  EXPECT_FALSE(files_.IsPlainFile(first.file, "other.log"));
  files_.Close(first.file);
  files_.Close(second.file);
  EXPECT_EQ(Content(path), "one\r\ntwo\r\nthree\r\n");
}

// A whole file is read while others append to it (another run, a viewer that shares); one held without
// sharing, or under another handle's lock, is "held", never "missing"; each failure says why.
TEST_F(FilesContract, AReadSharesWithWritersAndSaysWhyItFailed) {
  const std::string path = fixture_->PutFile("read.log", "one\r\n");
  fixture_->HoldOpen(path, true);
  EXPECT_EQ(Content(path), "one\r\n");
  fixture_->HoldOpen(path, false);
  EXPECT_EQ(files_.ReadWholeFile(path.c_str(), 100).status, ReadStatus::Held);
  // A page held open this way cannot be replaced: held, not forbidden.
  const std::string made = files_.CreateTempFile("page", "");
  EXPECT_EQ(files_.MoveOver(made.c_str(), path.c_str()), MoveStatus::Held);
  files_.RemoveFile(made.c_str());
  fixture_->LetGo();
  const Files::Opened locker = files_.OpenShared(path.c_str());
  ASSERT_EQ(locker.status, Files::Open::Opened);
  ASSERT_TRUE(files_.TryLock(locker.file));
  ExpectWindows(*fixture_, kReadUnderLock, files_.ReadWholeFile(path.c_str(), 100).status, ReadStatus::Held,
                ReadStatus::Read);
  EXPECT_EQ(files_.ReadAt(locker.file, 0, 100).bytes, "one\r\n");  // the holder reads what others may not
  files_.Unlock(locker.file);
  files_.Close(locker.file);
  EXPECT_EQ(files_.ReadWholeFile(path.c_str(), 4).status, ReadStatus::TooLarge);
  EXPECT_EQ(files_.ReadWholeFile(fixture_->ScratchPath("none.log").c_str(), 100).status, ReadStatus::Missing);
  const std::string folder = path.substr(0, path.find_last_of('\\'));
  EXPECT_EQ(files_.ReadWholeFile(folder.c_str(), 100).status, ReadStatus::NotPlain);
  EXPECT_EQ(files_.OpenShared(folder.c_str()).status, Files::Open::Failed);  // the log's open: no folder
}

TEST_F(FilesContract, ALockIsHeldUntilUnlockedOrClosed) {
  const std::string path = fixture_->ScratchPath("locked.log");
  const Files::Opened first = files_.OpenShared(path.c_str());
  const Files::Opened second = files_.OpenShared(path.c_str());
  ASSERT_EQ(first.status, Files::Open::Opened);
  ASSERT_EQ(second.status, Files::Open::Opened);
  EXPECT_TRUE(files_.TryLock(first.file));
  EXPECT_FALSE(files_.TryLock(second.file));
  files_.Unlock(first.file);
  EXPECT_TRUE(files_.TryLock(second.file));
  files_.Close(second.file);  // closing lets go of its lock
  EXPECT_TRUE(files_.TryLock(first.file));
  files_.Unlock(first.file);
  files_.Close(first.file);
}

TEST_F(FilesContract, ARenameWhileOpenMovesTheFileUnderTheHandle) {
  const std::string path = fixture_->ScratchPath("rotated.log");
  const std::string old = fixture_->ScratchPath("rotated.log.old");
  const Files::Opened log = files_.OpenShared(path.c_str());
  ASSERT_EQ(log.status, Files::Open::Opened);
  EXPECT_TRUE(files_.Append(log.file, "before\r\n"));
  EXPECT_TRUE(files_.IsFileAt(log.file, path.c_str()));
  EXPECT_EQ(MoveStatus::Moved, files_.MoveOver(path.c_str(), old.c_str()));
  EXPECT_FALSE(files_.IsFileAt(log.file, path.c_str()));
  EXPECT_TRUE(files_.IsFileAt(log.file, old.c_str()));
  EXPECT_FALSE(files_.FileSize(path.c_str()).has_value());
  EXPECT_TRUE(files_.Append(log.file, "after\r\n"));
  EXPECT_TRUE(files_.Truncate(log.file));
  EXPECT_TRUE(files_.Append(log.file, "anew\r\n"));
  files_.Close(log.file);
  EXPECT_EQ(Content(old), "anew\r\n");
  // MoveOver replaces what the target names.
  fixture_->PutFile("x", "");
  const std::string source = fixture_->ScratchPath("source.txt");
  const Files::Opened made = files_.OpenShared(source.c_str());
  ASSERT_EQ(made.status, Files::Open::Opened);
  files_.Append(made.file, "new");
  files_.Close(made.file);
  EXPECT_EQ(MoveStatus::Moved, files_.MoveOver(source.c_str(), old.c_str()));
  EXPECT_EQ(Content(old), "new");
}

TEST_F(FilesContract, TemporaryFilesAreNewAndHoldTheirBytes) {
  const std::string first = files_.CreateTempFile("abc", "");
  const std::string second = files_.CreateTempFile("", "");
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(Content(first), "abc");
  EXPECT_EQ(files_.FileSize(second.c_str()), 0u);
  EXPECT_TRUE(files_.RemoveFile(first.c_str()));
  EXPECT_TRUE(files_.RemoveFile(second.c_str()));
  EXPECT_FALSE(files_.FileSize(first.c_str()).has_value());
  EXPECT_FALSE(files_.RemoveFile(first.c_str()));
}

// The page is made as a new file in its own folder, then renamed over the old one; a name is asked whether
// it is a link without leaving anything behind.
TEST_F(FilesContract, ANewFileInAGivenFolderAndNamesThatAreNoLinks) {
  const std::string missing = fixture_->ScratchPath("missing.html");
  const std::string folder = missing.substr(0, missing.find_last_of('\\'));
  const std::string made = files_.CreateTempFile("page", folder);
  ASSERT_EQ(made.rfind(folder + "\\", 0), 0u) << made;
  EXPECT_EQ(Content(made), "page");
  EXPECT_FALSE(files_.IsLinkName(made.c_str()));
  EXPECT_FALSE(files_.IsLinkName(missing.c_str()));
  EXPECT_FALSE(files_.FileSize(missing.c_str()).has_value()) << "the probe is gone";
  EXPECT_EQ(MoveStatus::Moved, files_.MoveOver(made.c_str(), missing.c_str()));
  EXPECT_EQ(Content(missing), "page");
}

}  // namespace
}  // namespace vexa::contract
