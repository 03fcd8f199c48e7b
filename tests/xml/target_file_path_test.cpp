// Where a target file lives: the reader's rule and the host loader's rule for saving must name
// the same file, or a saved set would not be found again.
#include <gtest/gtest.h>

#include "AnnoSets.h"
#include "orlloader/Loader.h"
#include "xml/TargetFilePath.h"

namespace {

TEST(TargetFilePathTest, ReaderAndLoaderNameTheSameFile) {
  struct Row {
    const char *directory, *name, *fileName, *path;
  };
  const Row rows[] = {
      {"C:/data", "Markers", "C:/data/t.XML", "C:/data/t.XML"},  // a file name is used as it is
      {"C:/data", "<!Markers!>", "", "C:/data/Markers.xml"},
      {"C:/data/", "<!Markers!>", "", "C:/data/Markers.xml"},  // one separator
      {"C:\\data\\", "<!Markers!>", "", "C:\\data\\Markers.xml"},
      {"", "<!Markers!>", "", "/Markers.xml"},
      {"/d", "<!only open", "", "/d/<!only open.xml"},  // markers go only in pairs
      {"/d", "a<!b!>c<!d!>e", "", "/d/a<!b!>cde.xml"},  // at their last places
      // Both places are found before either removal: removing "!>" first shifts "<!" past the
      // place the second removal looks at, so "<!" stays.
      {"/d", "!>ab<!", "", "/d/ab<!.xml"},
      {"/d", "targets.xml", "", "/d/targets.xml"},  // ".xml" exactly is kept
      {"/d", "targets.XML", "", "/d/targets.XML.xml"},
      {"", "abcd", "", "/abcd.xml"},
      {"", "", "", "/"},  // four characters or fewer stay as they are
      {"/", "ab", "", "/ab"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.directory) + " + " + row.name);
    EXPECT_EQ(ar::TargetFilePath(du::Symbol(row.directory), du::Symbol(row.name),
                                 du::Symbol(row.fileName))
                  .str(),
              row.path);
    if (!*row.name) continue;  // the host makes no entry without a name
    const auto table = orl::AnnoSetTable::Create(du::Symbol(row.directory));
    EXPECT_EQ(orlloader::Loader::SavePath(table, artest::ArEntry(row.fileName, row.name)).str(),
              row.path);
  }
}

}  // namespace
