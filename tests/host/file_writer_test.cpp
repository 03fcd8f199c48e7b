#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "HostTest.h"
#include "TempDir.h"
#include "du/FileWriter.h"

namespace {

using artest::ReadFile;
using artest::WriteFile;
using du::FileWriter;

class FileWriterTest : public artest::HostTest {
 protected:
  bool Write(const std::string& path, const std::string& text, unsigned buffer = 8192) {
    auto writer = FileWriter::Construct();
    if (!writer->Open(path, 0, buffer, true)) return false;
    writer->Write1ByteArray(text.data(), static_cast<std::uint32_t>(text.size()));
    return writer->Close();
  }

  artest::TempDir dir_;
};

TEST_F(FileWriterTest, WritesANewFileAndLeavesNoTemporaryBehind) {
  const std::string path = dir_.File("targets.xml");
  ASSERT_TRUE(Write(path, "<augmentedreality/>\n"));
  EXPECT_EQ(ReadFile(path), "<augmentedreality/>\n");
  EXPECT_EQ(dir_.Listing(), "targets.xml;");
}

TEST_F(FileWriterTest, ReplacesTheTargetOnlyWhenClosed) {
  const std::string path = dir_.File("targets.xml");
  WriteFile(path, "old");
  auto writer = FileWriter::Construct();
  ASSERT_TRUE(writer->Open(path, 0, 0, true));
  ASSERT_TRUE(writer->Write1ByteArray("new", 3));
  EXPECT_EQ(ReadFile(path), "old");
  ASSERT_TRUE(writer->Close());
  EXPECT_EQ(ReadFile(path), "new");
}

TEST_F(FileWriterTest, WriterReleasedWithoutCloseKeepsThePreviousFile) {
  const std::string path = dir_.File("targets.xml");
  WriteFile(path, "precious");
  {
    auto writer = FileWriter::Construct();
    ASSERT_TRUE(writer->Open(path, 0, 0, true));
    writer->Write1ByteArray("half", 4);
  }
  EXPECT_EQ(ReadFile(path), "precious");
  EXPECT_EQ(dir_.Listing(), "targets.xml;");
}

TEST_F(FileWriterTest, FailedReplacementKeepsTheTargetAndSaysWhy) {
  const std::string path = dir_.File("occupied");
  std::filesystem::create_directory(path);
  WriteFile(path + "/inside", "kept");
  auto writer = FileWriter::Construct();
  ASSERT_TRUE(writer->Open(path, 0, 0, true));
  writer->Write1ByteArray("x", 1);
  EXPECT_FALSE(writer->Close());
  EXPECT_NE(writer->GetLastError().find("cannot replace"), std::string::npos)
      << writer->GetLastError();
  EXPECT_EQ(ReadFile(path + "/inside"), "kept");
  EXPECT_EQ(dir_.Listing(), "occupied;");
}

TEST_F(FileWriterTest, OpenFailsWithAReason) {
  auto writer = FileWriter::Construct();
  EXPECT_FALSE(writer->Open(dir_.File("missing/targets.xml"), 0, 0, true));
  EXPECT_NE(writer->GetLastError().find("No such file or directory"), std::string::npos)
      << writer->GetLastError();
  EXPECT_FALSE(writer->Write1ByteArray("x", 1));
  EXPECT_FALSE(writer->Close());

  const std::string existing = dir_.File("existing.xml");
  WriteFile(existing, "keep");
  EXPECT_FALSE(writer->Open(existing, 0, 0, false)) << "must not replace when told not to";
  EXPECT_EQ(ReadFile(existing), "keep");
}

TEST_F(FileWriterTest, KeepsTheModeOfTheFileItReplaces) {
  const std::string path = dir_.File("private.xml");
  WriteFile(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  ASSERT_TRUE(Write(path, "new"));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(FileWriterTest, SmallBufferWritesEverythingInOrder) {
  const std::string path = dir_.File("buffered.txt");
  auto writer = FileWriter::Construct();
  ASSERT_TRUE(writer->Open(path, 0, 4, true));
  for (const char* piece : {"ab", "cdefg", "", "hij"})
    ASSERT_TRUE(writer->Write1ByteArray(piece, static_cast<std::uint32_t>(std::strlen(piece))));
  ASSERT_TRUE(writer->Close());
  EXPECT_EQ(ReadFile(path), "abcdefghij");
}

}  // namespace
