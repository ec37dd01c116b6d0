// What only the file-backed registry has to get right: the file itself,
// other processes, damaged and unreadable files, a stuck lock.
#include "platform/posix/file_registry.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "file_size_limit.h"
#include "temp_dir.h"

namespace lumox {
namespace {

using testing::FileSizeLimit;
using testing::ReadFile;

const RegRoot kUser = RegRoot::CurrentUser;

bool WriteDword(RegistryStore& reg, const std::string& key, const std::string& name,
                uint32_t value) {
  return reg.WriteValue(kUser, key, name, kRegDword, &value, sizeof value);
}

class FileRegistryTest : public ::testing::Test {
 protected:
  std::vector<std::string> DamagedCopies() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with("registry.reg.damaged-")) names.push_back(name);
    }
    return names;
  }
  testing::TempDir dir_;
  std::string path_ = dir_.File("registry.reg");
};

TEST_F(FileRegistryTest, WritesTheFamiliarTextFormCreatingItsDirectories) {
  const std::string path = dir_.File("a/b/registry.reg");
  FileRegistry reg(path);
  const std::string key = "Control Panel\\Screen Saver.Lumox";
  ASSERT_TRUE(reg.CreateKey(kUser, key + "\\Saved\\[D] Bezier\\Modules\\Bezier"));
  const char active[] = "[R] Saved Sound Settings";
  ASSERT_TRUE(reg.WriteValue(kUser, key, "Active", kRegSz, active, sizeof active));
  ASSERT_TRUE(WriteDword(reg, key, "Speed", 0x1234abcd));
  const char quoted[] = "C:\\a \"b\"";
  ASSERT_TRUE(reg.WriteValue(kUser, key, "Slogan", kRegSz, quoted, sizeof quoted));
  const uint8_t priority[] = {64, 0, 0, 0};
  ASSERT_TRUE(reg.WriteValue(kUser, key + "\\Saved\\[D] Bezier", "Priority", kRegBinary, priority,
                             4));

  // Values in the order they were written; empty keys too: their existence is data.
  EXPECT_EQ(ReadFile(path),
            "REGEDIT4\n"
            "\n[HKEY_CURRENT_USER\\Control Panel]\n"
            "\n[HKEY_CURRENT_USER\\Control Panel\\Screen Saver.Lumox]\n"
            "\"Active\"=\"[R] Saved Sound Settings\"\n"
            "\"Speed\"=dword:1234abcd\n"
            "\"Slogan\"=\"C:\\\\a \\\"b\\\"\"\n"
            "\n[HKEY_CURRENT_USER\\Control Panel\\Screen Saver.Lumox\\Saved]\n"
            "\n[HKEY_CURRENT_USER\\Control Panel\\Screen Saver.Lumox\\Saved\\[D] Bezier]\n"
            "\"Priority\"=hex:40,00,00,00\n"
            "\n[HKEY_CURRENT_USER\\Control Panel\\Screen Saver.Lumox\\Saved\\[D] Bezier\\Modules]\n"
            "\n[HKEY_CURRENT_USER\\Control Panel\\Screen Saver.Lumox\\Saved\\[D] Bezier\\Modules"
            "\\Bezier]\n");
  // Settings are the user's own: nobody else may read them.
  EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(FileRegistryTest, AnotherStoreOnTheFileSeesEveryChangeAndBatchesKeepOthersWrites) {
  FileRegistry first(path_);
  FileRegistry second(path_);
  ASSERT_TRUE(first.CreateKey(kUser, "Saved"));
  ASSERT_TRUE(WriteDword(second, "Saved", "Speed", 3));
  RegValue read;
  EXPECT_TRUE(first.ReadValue(kUser, "Saved", "Speed", read));
  {
    RegistryBatch batch(first);
    ASSERT_TRUE(first.CreateKey(kUser, "Saved\\Capture #1"));
    ASSERT_TRUE(WriteDword(first, "Saved\\Capture #1", "ShowName", 3));
    // Nothing of the batch is in the file until it ends.
    EXPECT_FALSE(second.KeyExists(kUser, "Saved\\Capture #1"));
    ASSERT_TRUE(second.DeleteValue(kUser, "Saved", "Speed"));
    ASSERT_TRUE(second.CreateKey(kUser, "Saved\\Other"));
  }
  FileRegistry fresh(path_);
  EXPECT_TRUE(fresh.ReadValue(kUser, "Saved\\Capture #1", "ShowName", read));
  EXPECT_TRUE(fresh.KeyExists(kUser, "Saved\\Other"));
  EXPECT_FALSE(fresh.ReadValue(kUser, "Saved", "Speed", read));
  // Removing the file is a change as well.
  std::filesystem::remove(path_);
  EXPECT_FALSE(second.KeyExists(kUser, "Saved"));
}

// Each child writes 30 keys of 5 values, one batch per key.
TEST_F(FileRegistryTest, TwoProcessesWritingBatchesAtOnceLoseNothing) {
  FileRegistry(path_).CreateKey(kUser, "Race");
  pid_t children[2];
  for (int id = 0; id < 2; ++id) {
    if ((children[id] = fork()) != 0) continue;
    FileRegistry reg(path_);
    for (int b = 0; b < 30; ++b) {
      RegistryBatch batch(reg);
      const std::string key = "Race\\P" + std::to_string(id) + "-" + std::to_string(b);
      if (!reg.CreateKey(kUser, key)) _exit(1);
      for (int v = 0; v < 5; ++v)
        if (!WriteDword(reg, key, "V" + std::to_string(v), static_cast<uint32_t>(b))) _exit(1);
    }
    _exit(0);
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  FileRegistry reg(path_);
  const std::vector<std::string> keys = reg.EnumSubkeys(kUser, "Race");
  EXPECT_EQ(keys.size(), 60u);
  for (const std::string& key : keys) EXPECT_EQ(reg.EnumValues(kUser, "Race\\" + key).size(), 5u) << key;
}

TEST_F(FileRegistryTest, DamagedFileIsReportedAndMovedAsideNeverOverwritten) {
  const std::string damaged = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Saved]\n\"Priority\"=hex:4";
  testing::WriteFile(path_, damaged);
  FileRegistry reg(path_);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(reg.KeyExists(kUser, "Saved"));
  const std::string report = ::testing::internal::GetCapturedStderr();
  const std::vector<std::string> copies = DamagedCopies();
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_NE(report.find(path_), std::string::npos) << report;
  EXPECT_NE(report.find(copies[0]), std::string::npos) << report;

  // The store goes on empty and writes a sound file; the copy stays.
  ASSERT_TRUE(reg.CreateKey(kUser, "Fresh"));
  EXPECT_TRUE(FileRegistry(path_).KeyExists(kUser, "Fresh"));
  EXPECT_EQ(ReadFile(dir_.File(copies[0])), damaged);
}

// Root reads anything: there a directory in the file's place stands in
// for a file that cannot be read. The store then works in memory only.
TEST_F(FileRegistryTest, UnreadableFileIsReportedAndLeftAlone) {
  ASSERT_TRUE(FileRegistry(path_).CreateKey(kUser, "Kept"));
  const std::string before = ReadFile(path_);
  const std::string path = geteuid() == 0 ? dir_.File("directory.reg") : path_;
  if (path != path_) std::filesystem::create_directory(path); else chmod(path_.c_str(), 0);
  FileRegistry reg(path);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(reg.KeyExists(kUser, "Kept"));
  EXPECT_TRUE(reg.CreateKey(kUser, "InMemory") && reg.KeyExists(kUser, "InMemory"));
  const std::string report = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(report.find("cannot read the settings file \"" + path + "\""), std::string::npos) << report;
  chmod(path_.c_str(), 0600);
  EXPECT_EQ(ReadFile(path_), before);
  EXPECT_TRUE(DamagedCopies().empty());
}

// A full disk, or a file-size limit, which stops root too: changes stay in
// memory, one report says so, and the first write that succeeds again
// stores all of them; the old file is never cut short.
TEST_F(FileRegistryTest, FailedWritesKeepChangesUntilTheFileCanBeWrittenAgain) {
  FileRegistry reg(path_);
  reg.BeginBatch();
  ASSERT_TRUE(reg.CreateKey(kUser, "Other") && reg.CreateKey(kUser, "Kept"));
  for (uint32_t i = 0; i < 100; ++i) WriteDword(reg, "Other", std::to_string(i), i);
  reg.EndBatch();
  const std::string before = ReadFile(path_);  // longer than the limit below, unlike a report
  {
    const FileSizeLimit limit(1000);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(WriteDword(reg, "Kept", "A", 1));
    EXPECT_TRUE(WriteDword(reg, "Kept", "B", 2));
    const std::string report = ::testing::internal::GetCapturedStderr();
    const size_t said = report.find("cannot write the settings file \"" + path_ + "\"");
    EXPECT_NE(said, std::string::npos) << report;
    EXPECT_EQ(report.find("cannot write", said + 1), std::string::npos) << report;  // once
    EXPECT_EQ(reg.EnumValues(kUser, "Kept").size(), 2u);
    EXPECT_EQ(ReadFile(path_), before);
  }
  ASSERT_TRUE(WriteDword(reg, "Kept", "C", 3));
  EXPECT_EQ(FileRegistry(path_).EnumValues(kUser, "Kept").size(), 3u);
}

// Changes kept after failed writes get one more try when asked and when the
// store ends; a store that ends with them still unwritten says they are lost.
TEST_F(FileRegistryTest, KeptChangesAreTriedAgainAndTheirLossIsReported) {
  {
    FileRegistry reg(path_);
    ASSERT_TRUE(reg.CreateKey(kUser, "Kept"));
    for (uint32_t i = 0; i < 100; ++i) WriteDword(reg, "Kept", "Filler" + std::to_string(i), i);
  }
  auto stored = [&](const char* name) {
    RegValue value;
    return FileRegistry(path_).ReadValue(kUser, "Kept", name, value);
  };
  ::testing::internal::CaptureStderr();
  {
    const FileSizeLimit limit(1000);
    FileRegistry reg(path_);
    WriteDword(reg, "Kept", "Lost", 1);
    EXPECT_FALSE(reg.WriteUnsaved());
  }
  std::string report = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(report.find("are lost"), std::string::npos) << report;
  EXPECT_FALSE(stored("Lost"));

  FileRegistry reg(path_);
  {
    const FileSizeLimit limit(1000);
    WriteDword(reg, "Kept", "Asked", 1);
  }
  EXPECT_TRUE(reg.WriteUnsaved());
  EXPECT_TRUE(stored("Asked"));
  ::testing::internal::CaptureStderr();
  {
    FileRegistry ending(path_);
    {
      const FileSizeLimit limit(1000);
      WriteDword(ending, "Kept", "AtTheEnd", 1);
    }
  }
  report = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(stored("AtTheEnd"));
  EXPECT_EQ(report.find("are lost"), std::string::npos) << report;
}

TEST_F(FileRegistryTest, StuckLockHolderDelaysButDoesNotStopWriters) {
  FileRegistry reg(path_, std::chrono::milliseconds(50));
  ASSERT_TRUE(reg.CreateKey(kUser, "Software"));
  // A holder that never lets go, like a writer suspended mid-commit.
  const int stuck = open((path_ + ".lock").c_str(), O_RDWR);
  ASSERT_GE(stuck, 0);
  ASSERT_EQ(flock(stuck, LOCK_EX), 0);
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(reg.CreateKey(kUser, "Software\\Lumox"));
  const std::string report = ::testing::internal::GetCapturedStderr();
  close(stuck);
  EXPECT_NE(report.find(path_ + ".lock"), std::string::npos) << report;
  EXPECT_TRUE(FileRegistry(path_).KeyExists(kUser, "Software\\Lumox"));
}

}  // namespace
}  // namespace lumox
