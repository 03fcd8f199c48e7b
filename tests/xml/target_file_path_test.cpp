#include <gtest/gtest.h>

#include "xml/TargetFilePath.h"

namespace {

std::string PathFor(const char* directory, const char* name, const char* fileName = "") {
  return ar::TargetFilePath(du::Symbol(directory), du::Symbol(name), du::Symbol(fileName)).str();
}

TEST(TargetFilePathTest, EntryFileNameIsUsedUnchanged) {
  EXPECT_EQ(PathFor("C:/data", "Markers", "C:/data/t.XML"), "C:/data/t.XML");
}

TEST(TargetFilePathTest, NameInMarkersJoinsTheDirectoryWithOneSeparator) {
  EXPECT_EQ(PathFor("C:/data", "<!Markers!>"), "C:/data/Markers.xml");
  EXPECT_EQ(PathFor("C:/data/", "<!Markers!>"), "C:/data/Markers.xml");
  EXPECT_EQ(PathFor("C:\\data\\", "<!Markers!>"), "C:\\data\\Markers.xml");
  EXPECT_EQ(PathFor("", "<!Markers!>"), "/Markers.xml");
}

TEST(TargetFilePathTest, MarkersAreRemovedOnlyInPairsAtTheirLastPlaces) {
  EXPECT_EQ(PathFor("/d", "<!only open"), "/d/<!only open.xml");
  EXPECT_EQ(PathFor("/d", "a<!b!>c<!d!>e"), "/d/a<!b!>cde.xml");
  // Positions are found before either removal: with "!>" first, removing it shifts "<!" past
  // the place the second removal looks at, so "<!" stays.
  EXPECT_EQ(PathFor("/d", "!>ab<!"), "/d/ab<!.xml");
}

TEST(TargetFilePathTest, XmlExtensionIsAddedUnlessPresentExactly) {
  EXPECT_EQ(PathFor("/d", "targets.xml"), "/d/targets.xml");
  EXPECT_EQ(PathFor("/d", "targets.XML"), "/d/targets.XML.xml");
  EXPECT_EQ(PathFor("", "abcd"), "/abcd.xml");
  EXPECT_EQ(PathFor("", ""), "/");  // four characters or fewer stay as they are
  EXPECT_EQ(PathFor("/", "ab"), "/ab");
}

}  // namespace
