// Bulk edits: import --update (JSON or CSV) changes the targets it names and adds new names in
// one save, all or nothing; whole-file import fills missing keys with add's defaults.
#include "ArtargetsTest.h"

namespace {

using artest::Result;

class BulkEditTest : public artest::ArtargetsTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(Run("add t.xml Door --type 1 --id 7 --size 1 2 --image door.png").status, 0);
    ASSERT_EQ(Run("add t.xml Window --size 3 4").status, 0);
  }
  // One line per target, with every field.
  std::string Long() { return Run("list --long t.xml").out; }
};

TEST_F(BulkEditTest, UpdatesChangeOnlyWhatTheyGiveInOneSave) {
  struct Row {
    const char* input;  // written to the file "in"
    const char* flags;
    int status;
    const char* message;              // in standard error; "" when it succeeds
    std::vector<const char*> listed;  // lines of list --long that must be there afterwards
  };
  const char* door = "\"Door\"  type 1  id 7  size 1 x 2  centre [0, 0, 0]  shape \"\"  image";
  const Row rows[] = {
      {R"([{"name": "Door", "image": "new.png"}, {"name": "Lamp", "center": [1, 2, 3]}])",
       "",
       0,
       "",
       {"\"Door\"  type 1  id 7  size 1 x 2  centre [0, 0, 0]  shape \"\"  image \"new.png\"",
        "\"Lamp\"  type 0  id 0  size 0 x 0  centre [1, 2, 3]  shape \"\"  image \"\"",
        "\"Window\"  type 0  id 0  size 3 x 4"}},
      {R"([{"id": 7, "name": "Porte", "rotation": 0.5}])",
       "--id",
       0,
       "",
       {"\"Porte\"  type 1  id 7  size 1 x 2", "rotation 0.5\n"}},
      {"name,image,center,width\nDoor,d.png,1 2 -0,\r\nLamp,,,0.25\n",
       "--csv",
       0,
       "",
       {"\"Door\"  type 1  id 7  size 1 x 2  centre [1, 2, -0]  shape \"\"  image \"d.png\"",
        "\"Lamp\"  type 0  id 0  size 0.25 x 0"}},
      {"name,image\n\"Door\",\"a,\"\"b\"\"\n.png\"\n",
       "--csv",
       0,
       "",
       {"image \"a,\\\"b\\\"\\n.png\""}},
      {"id,name\n7,Porte\n", "--csv --id", 0, "", {"\"Porte\"  type 1  id 7"}},
      {R"([{"name": "Door"}])", "", 0, "", {door}},  // nothing to change: the file is kept
      // All or nothing: a bad element anywhere leaves every target as it was.
      {R"([{"name": "Door", "image": "x"}, {"name": "Window", "type": 999}])",
       "",
       2,
       "in: target 2: type: 999 is out of range; a target file holds 0 to 255",
       {door}},
      {R"([{"name": "Door", "image": "x"}, {"image": "y"}])",
       "",
       2,
       "in: target 2: no \"name\" names the target to change",
       {door}},
      {R"([{"name": "Door", "width": "wide"}])",
       "",
       2,
       "in: target 1: \"width\" must be a number",
       {door}},
      {R"([{"name": "Door", "center": [1, 2]}])",
       "",
       2,
       "\"center\" must be an array of three",
       {door}},
      {R"([{"name": "Door", "id": 1.5}])", "", 2, "\"id\" must be a whole number", {door}},
      {R"([{"name": "Door", "colour": "red"}])", "", 2, "target 1: unknown key \"colour\"", {door}},
      {R"({"name": "Door"})", "", 2, "in: expected an array of targets", {door}},
      {R"([{"id": 7, "image": "x"}, {"id": 9, "name": "X"}])",
       "--id",
       1,
       "in: target 2: no target is of type 1 with id 9",
       {door}},
      {"image\nx.png\n", "--csv", 2, "in: row 1: there is no \"name\" column", {door}},
      {"name,colour\nDoor,red\n",
       "--csv",
       2,
       "in: row 1, column 2 \"colour\": no such key",
       {door}},
      {"name,name\nDoor,Door\n",
       "--csv",
       2,
       "row 1, column 2 \"name\": the column is given twice",
       {door}},
      {"name,image\nLamp,l.png\nDoor\n",
       "--csv",
       2,
       "in: row 3 has 1 cells; the header names 2",
       {door}},
      {"name,type\nLamp,1\nDoor,300\n",
       "--csv",
       2,
       "in: row 3, column 2 \"type\": 300 is out of range; a target file holds 0 to 255",
       {door}},
      {"name,center\nDoor,1 2\n",
       "--csv",
       2,
       "in: row 2, column 2 \"center\": \"1 2\" is not three numbers",
       {door}},
      {"name,width\nDoor,wide\n",
       "--csv",
       2,
       "row 2, column 2 \"width\": \"wide\" is not a number",
       {door}},
      {"name,image\nDo\"or,x\n", "--csv", 2, "in: row 2, cell 1: a quote inside a cell", {door}},
      {"name,image\n\"Door\"x,y\n",
       "--csv",
       2,
       "row 2, cell 1: text after the closing quote",
       {door}},
      {"name,image\n\"Door,x\n", "--csv", 2, "row 2, cell 1: a quote that is never closed", {door}},
  };
  const std::string kept = Read("t.xml");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    Write("t.xml", kept);
    Write("in", row.input);
    const Result r = Run(std::string("import --update ") + row.flags + " in -o t.xml");
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_EQ(r.err.rfind("artargets: ", 0) == 0, *row.message != 0) << r.err;
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
    if (row.status != 0) {
      EXPECT_EQ(Read("t.xml"), kept) << "nothing written";
    }
    const std::string listed = Long();
    for (const char* line : row.listed) EXPECT_NE(listed.find(line), std::string::npos) << listed;
  }
}

TEST_F(BulkEditTest, ANameOfSeveralTargetsIsRefused) {
  ASSERT_EQ(Run("add t.xml Door").status, 0);
  const std::string kept = Read("t.xml");
  Write("in", R"([{"name": "Door", "image": "x.png"}])");
  const Result r = Run("import --update in -o t.xml");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("target 1: 2 targets are named \"Door\""), std::string::npos) << r.err;
  EXPECT_EQ(Read("t.xml"), kept);
}

// Whole-file import takes partial targets too: what a key leaves out is add's default.
TEST_F(BulkEditTest, WholeImportFillsMissingKeysWithAddsDefaults) {
  ASSERT_EQ(Run("add added.xml Lamp --size 0.5 0.5").status, 0);
  Write("in.json", R"([{"name": "Lamp", "width": 0.5, "height": 0.5}])");
  Write("in.csv", "name,width,height\nLamp,0.5,0.5\n");
  ASSERT_EQ(Run("import in.json -o from-json.xml").status, 0);
  ASSERT_EQ(Run("import --csv in.csv -o from-csv.xml").status, 0);
  EXPECT_EQ(Read("from-json.xml"), Read("added.xml"));
  EXPECT_EQ(Read("from-csv.xml"), Read("added.xml"));
}

}  // namespace
