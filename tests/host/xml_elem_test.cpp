#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "TempDir.h"
#include "dg/XmlElem.h"

namespace {

// Frees a tree at the end of a scope.
struct Tree {
  dg::XmlElem* root;
  ~Tree() { dg::FreeXml(root); }
};

TEST(XmlElemTest, BuiltTreeRendersIndentedWithClosedElements) {
  Tree tree{dg::NewXmlElem("augmentedreality", false)};
  tree.root->SetIntAttribute("version", 1);
  dg::XmlElem* targets = dg::NewXmlElem("targets", tree.root);
  dg::NewXmlElem("item", targets)->SetAttribute("text", "a<b & \"c\"");
  std::string out;
  dg::WriteXmlCloseTags(tree.root, out, 0);
  EXPECT_EQ(out,
            "<augmentedreality version=\"1\">\n"
            "  <targets>\n"
            "    <item text=\"a&lt;b &amp; &quot;c&quot;\" />\n"
            "  </targets>\n"
            "</augmentedreality>\n");
  out.clear();
  dg::WriteXmlCloseTags(targets, out, 1);
  EXPECT_EQ(out.rfind("  <targets>\n", 0), 0u) << "indentation level 1 adds two spaces";
}

TEST(XmlElemTest, RootWithDeclarationRendersIt) {
  Tree tree{dg::NewXmlElem("root", true)};
  std::string out;
  dg::WriteXmlCloseTags(tree.root, out, 0);
  EXPECT_EQ(out, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root />\n");
}

TEST(XmlElemTest, ParsedTreeAnswersAttributesAndChildren) {
  Tree tree{dg::ParseXmlFromString(
      "<r version=\" 2 \" plus=\"+3\" word=\"x\" big=\"99999999999\" neg=\"-5\">"
      "<a/><targets n=\"1\"/><targets n=\"2\"/></r>",
      false, nullptr)};
  ASSERT_NE(tree.root, nullptr);
  EXPECT_STREQ(tree.root->GetName(), "r");
  int value = 0;
  EXPECT_TRUE(tree.root->GetIntAttribute("version", value));
  EXPECT_EQ(value, 2);
  EXPECT_TRUE(tree.root->GetIntAttribute("plus", value));
  EXPECT_EQ(value, 3);
  EXPECT_TRUE(tree.root->GetIntAttribute("neg", value));
  EXPECT_EQ(value, -5);
  for (const char* unreadable : {"word", "big", "missing"}) {
    EXPECT_FALSE(tree.root->GetIntAttribute(unreadable, value)) << unreadable;
    EXPECT_EQ(value, INT_MAX) << "so that a limit check refuses it";
  }
  EXPECT_EQ(tree.root->FindAttribute("missing"), nullptr);
  dg::XmlElem* targets = tree.root->FindChild("targets");
  ASSERT_NE(targets, nullptr);
  EXPECT_STREQ(targets->FindAttribute("n"), "1") << "the first of two";
  EXPECT_EQ(tree.root->FindChild("targets"), targets) << "one handle per element";
  EXPECT_EQ(tree.root->FindChild("nothing"), nullptr);
}

TEST(XmlElemTest, ParseFailuresSayWhy) {
  std::string why;
  EXPECT_EQ(dg::ParseXmlFromFile("/nonexistent/targets.xml", false, &why), nullptr);
  EXPECT_EQ(why, "cannot read /nonexistent/targets.xml: No such file or directory");

  artest::TempDir dir;
  const std::string path = dir.File("broken.xml");
  artest::WriteFile(path, "<a>\n  <b>\n  <c></b>\n</a>\n");
  EXPECT_EQ(dg::ParseXmlFromFile(path, false, &why), nullptr);
  EXPECT_EQ(why.rfind("not well-formed XML at line 3, column ", 0), 0u) << why;

  EXPECT_EQ(dg::ParseXmlFromString("", false, &why), nullptr);
  EXPECT_NE(why.find("line 1"), std::string::npos) << why;
  EXPECT_EQ(dg::ParseXmlFromString("<<", false, nullptr), nullptr) << "no reason asked for";
}

TEST(XmlElemTest, FreeingAChildFreesNothing) {
  Tree tree{dg::NewXmlElem("root", false)};
  dg::XmlElem* child = dg::NewXmlElem("child", tree.root);
  dg::FreeXml(child);
  EXPECT_STREQ(tree.root->FindChild("child")->GetName(), "child");
}

}  // namespace
