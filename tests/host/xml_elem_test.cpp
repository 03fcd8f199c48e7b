#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <memory>
#include <string>

#include "TempDir.h"
#include "dg/XmlElem.h"

namespace {

using Tree = dg::XmlTree;

TEST(XmlElemTest, BuiltTreeRendersIndentedEscapedAndClosed) {
  Tree root(dg::NewXmlElem("augmentedreality", true));
  root->SetIntAttribute("version", 1);
  dg::XmlElem* targets = dg::NewXmlElem("targets", root.get());
  dg::NewXmlElem("item", targets)->SetAttribute("text", "a<b & \"c\"");
  dg::FreeXml(dg::NewXmlElem("gone", targets));  // freeing a child frees nothing
  std::string out;
  dg::WriteXmlCloseTags(root.get(), out, 0);
  EXPECT_EQ(out,
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
            "<augmentedreality version=\"1\">\n"
            "  <targets>\n"
            "    <item text=\"a&lt;b &amp; &quot;c&quot;\" />\n"
            "    <gone />\n"
            "  </targets>\n"
            "</augmentedreality>\n");
  out.clear();
  dg::WriteXmlCloseTags(targets, out, 1);
  EXPECT_EQ(out.rfind("  <targets>\n", 0), 0u) << "indentation level 1 adds two spaces";
}

// A text of any length comes out whole after what the buffer held before, however its pieces
// fall: a few bytes, or megabytes printed a block at a time.
TEST(XmlElemTest, LongTreesRenderWholeAfterWhatTheBufferHeld) {
  for (const int items : {3, 20000}) {
    Tree root(dg::NewXmlElem("r", false));
    std::string expected = "kept\n<r>\n";
    for (int i = 0; i < items; ++i) {
      const std::string text = "item " + std::to_string(i) + std::string(std::size_t(i % 97), 'x');
      dg::NewXmlElem("i", root.get())->SetAttribute("t", (text + " & <" + text + ">").c_str());
      expected += "  <i t=\"" + text + " &amp; &lt;" + text + ">\" />\n";  // ">" stays
    }
    expected += "</r>\n";
    std::string out = "kept\n";
    dg::WriteXmlCloseTags(root.get(), out, 0);
    EXPECT_EQ(out.size(), expected.size()) << items << " items";
    EXPECT_TRUE(out == expected) << items << " items";
  }
}

TEST(XmlElemTest, ParsedTreeAnswersAttributesAndChildren) {
  Tree root(
      dg::ParseXmlFromString("<r version=\" 2 \" plus=\"+3\" neg=\"-5\" word=\"x\" "
                             "big=\"99999999999\"><a/><t n=\"1\"/><t n=\"2\"/></r>",
                             false, nullptr));
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->GetName(), "r");
  const std::pair<const char*, int> rows[] = {{"version", 2},    {"plus", 3},      {"neg", -5},
                                              {"word", INT_MAX}, {"big", INT_MAX}, {"no", INT_MAX}};
  for (const auto& [name, expected] : rows) {
    int value = 0;
    EXPECT_EQ(root->GetIntAttribute(name, value), expected != INT_MAX) << name;
    EXPECT_EQ(value, expected) << name << ": an unreadable value reads as INT_MAX";
  }
  EXPECT_EQ(root->FindAttribute("no"), nullptr);
  dg::XmlElem* first = root->FindChild("t");
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->FindAttribute("n"), "1") << "the first of two";
  EXPECT_EQ(root->FindChild("t"), first) << "one handle per element";
  EXPECT_EQ(root->FindChild("nothing"), nullptr);
}

TEST(XmlElemTest, ParseFailuresSayWhy) {
  artest::TempDir dir;
  artest::WriteFile(dir.File("broken.xml"), "<a>\n  <b>\n  <c></b>\n</a>\n");
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  const std::pair<std::string, std::string> files[] = {
      {"/nonexistent/t.xml", "cannot read /nonexistent/t.xml: No such file or directory"},
      {dir.File("broken.xml"), "not well-formed XML at line 3, column "},
      {dir.File("fifo"), "cannot read " + dir.File("fifo") + ": it is a FIFO, not a regular"},
      {"/dev/zero", "cannot read /dev/zero: it is a device, not a regular file"}};
  for (const auto& [path, reason] : files) {
    std::string why;
    EXPECT_EQ(dg::ParseXmlFromFile(path, false, &why), nullptr);
    EXPECT_EQ(why.rfind(reason, 0), 0u) << why;
  }
  std::string why;
  EXPECT_EQ(dg::ParseXmlFromString("", false, &why), nullptr);
  EXPECT_NE(why.find("line 1"), std::string::npos) << why;
  EXPECT_EQ(dg::ParseXmlFromString("<<", false, nullptr), nullptr) << "no reason asked for";
}

}  // namespace
