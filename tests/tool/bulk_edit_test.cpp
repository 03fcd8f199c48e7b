// Bulk edits: import --update (JSON or CSV) changes the targets it names and adds new names in
// one save, all or nothing; whole-file import fills missing keys with add's defaults.
#include "ArtargetsTest.h"
#include "forms/BulkEdit.h"
#include "forms/JsonForm.h"
#include "support/Json.h"
#include "support/UsageError.h"

namespace {

using artest::Result;

class BulkEditTest : public artest::ArtargetsTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(Run("add t.xml Door --type 1 --id 7 --size 1 2 --image door.png").status, 0);
    ASSERT_EQ(Run("add t.xml Window --size 3 4").status, 0);
    kept_ = Read("t.xml");
  }
  // Runs import --update FLAGS on `input` from the file "in", against the fixture's t.xml.
  Result Update(const std::string& flags, const std::string& input) {
    Write("t.xml", kept_);
    Write("in", input);
    return Run("import --update " + flags + " in -o t.xml");
  }
  std::string kept_;
};

TEST_F(BulkEditTest, UpdatesChangeOnlyWhatTheyGive) {
  struct Row {
    const char *flags, *input;
    std::vector<const char*> listed;  // lines of list --long that must be there afterwards
  };
  const Row rows[] = {
      {"",
       R"([{"name": "Door", "image": "new.png"}, {"name": "Lamp", "center": [1, 2, 3]}])",
       {"\"Door\"  type 1  id 7  size 1 x 2  centre [0, 0, 0]  shape \"\"  image \"new.png\"",
        "\"Lamp\"  type 0  id 0  size 0 x 0  centre [1, 2, 3]  shape \"\"  image \"\"",
        "\"Window\"  type 0  id 0  size 3 x 4"}},
      {"--id",
       R"([{"id": 7, "name": "Porte", "rotation": 0.5}])",
       {"\"Porte\"  type 1  id 7  size 1 x 2", "rotation 0.5\n"}},
      {"--csv",
       "name,image,center,width\nDoor,d.png,1 2 -0,\r\nLamp,,,0.25\n",
       {"\"Door\"  type 1  id 7  size 1 x 2  centre [1, 2, -0]  shape \"\"  image \"d.png\"",
        "\"Lamp\"  type 0  id 0  size 0.25 x 0"}},
      {"--csv", "name,image\n\"Door\",\"a,\"\"b\"\"\n.png\"\n", {"image \"a,\\\"b\\\"\\n.png\""}},
      {"--csv --id", "id,name\n7,Porte\r\n\n\n", {"\"Porte\"  type 1  id 7"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    const Result r = Update(row.flags, row.input);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string listed = Run("list --long t.xml").out;
    for (const char* line : row.listed) EXPECT_NE(listed.find(line), std::string::npos) << listed;
  }
  EXPECT_EQ(Update("", R"([{"name": "Door", "image": "door.png"}])").out,
            "t.xml: unchanged, the targets already hold those values\n");
  EXPECT_EQ(Read("t.xml"), kept_);
}

// A bad element or row anywhere: one line naming it, its status, and every target as it was.
TEST_F(BulkEditTest, AnythingWrongWritesNothing) {
  struct Row {
    const char *flags, *input;
    int status;
    const char* message;
  };
  const Row rows[] = {
      {"", R"([{"name": "Door", "image": "x"}, {"name": "Window", "type": 999}])", 2,
       "in: target 2: type: 999 is out of range; a target file holds 0 to 255"},
      {"", R"([{"name": "Door", "image": "x"}, {"image": "y"}])", 2,
       "in: target 2: no \"name\" names the target to change"},
      {"", R"([{"name": "Door", "width": "wide"}])", 2, "in: target 1: \"width\" must be a number"},
      {"", R"([{"name": "Door", "center": [1, 2]}])", 2, "\"center\" must be an array of three"},
      {"", R"([{"name": "Door", "id": 1.5}])", 2, "\"id\" must be a whole number"},
      {"", R"({"name": "Door"})", 2, "in: expected an array of targets"},
      {"", "[{", 1, "in: not JSON: "},
      {"--id", R"([{"id": 7, "image": "x"}, {"id": 9, "name": "X"}])", 1,
       "in: target 2: no target is of type 1 with id 9"},
      {"--csv --id", "id,image\n0,x\n", 1, "in: row 2: no target is of type 1 with id 0"},
      {"--csv", "image\nx.png\n", 2, "in: row 1: there is no \"name\" column"},
      {"--csv", "name,name\nDoor,Door\n", 2, "row 1, column 2 \"name\": the column is given twice"},
      {"--csv", "name,image\nLamp,l.png\nDoor\n", 2, "in: row 3 has 1 cells; the header names 2"},
      {"--csv", "name,type\nLamp,1\nDoor,300\n", 2,
       "in: row 3, column 2 \"type\": 300 is out of range; a target file holds 0 to 255"},
      {"--csv", "name,center\nDoor,1 2\n", 2,
       "in: row 2, column 2 \"center\": \"1 2\" is not three numbers"},
      {"--csv", "name,width\nDoor,wide\n", 2,
       "row 2, column 2 \"width\": \"wide\" is not a number"},
      {"--csv", "name,image\nDo\"or,x\n", 2, "in: row 2, cell 1: a quote inside a cell"},
      {"--csv", "name,image\n\"Door\"x,y\n", 2, "row 2, cell 1: text after the closing quote"},
      {"--csv", "name,image\n\"Door,x\n", 2, "row 2, cell 1: a quote that is never closed"},
      {"--csv", "", 2, "in: row 1: there is no header row"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    const Result r = Update(row.flags, row.input);
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_EQ(r.err.rfind("artargets: in: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    EXPECT_EQ(Read("t.xml"), kept_);
  }
  ASSERT_EQ(Run("add t.xml Door").status, 0);  // a name of several targets picks none
  const std::string twoDoors = Read("t.xml");
  Write("in", R"([{"name": "Door", "image": "x.png"}])");
  const Result r = Run("import --update in -o t.xml");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("target 1: 2 targets are named \"Door\""), std::string::npos) << r.err;
  EXPECT_EQ(Read("t.xml"), twoDoors);
  // The table is read while the file loads: a file that does not load is said first, then what
  // is wrong with the table.
  Write("broken.xml", "<augmentedreality");
  Write("in", "[{");
  const Result both = Run("import --update in -o broken.xml");
  EXPECT_EQ(both.status, 1);
  const std::size_t table = both.err.find("in: not JSON");
  EXPECT_NE(table, std::string::npos) << both.err;
  EXPECT_LT(both.err.find("broken.xml"), table) << both.err;
  EXPECT_EQ(Read("broken.xml"), "<augmentedreality");
}

// What spreadsheets save reads as they meant it: a byte-order mark, semicolons or tabs between
// cells (the header row says which); a key written otherwise is named with the key meant.
TEST(BulkEditForms, ReadWhatSpreadsheetsSaveAndSuggestTheKeyMeant) {
  struct Row {
    bool csv;
    std::string input;
    const char* error;                    // what the error says, or "" when the input reads:
    std::vector<std::string> names = {};  // the targets' names, read in order
    std::string image = "";               // the last target's image
  };
  const Row rows[] = {
      {true, "\xEF\xBB\xBFname,image\nDoor,d.png\n", "", {"Door"}, "d.png"},
      {true, "name;image\r\nDoor;d.png\r\nLamp;\"l;1.png\"\r\n", "", {"Door", "Lamp"}, "l;1.png"},
      {true, "\xEF\xBB\xBFname\timage\nDoor\td,1.png\n", "", {"Door"}, "d,1.png"},
      {true, "name,image\nDoor,d;1.png\n", "", {"Door"}, "d;1.png"},
      {true, "\"a;b\",name,image\n,Door,d.png\n", "row 1, column 1 \"a;b\": no such key"},
      {true, "name;image\nDoor;d.png;x\n",
       "row 2 has 3 cells; the header names 2 columns (separated by semicolons)"},
      {true, "name,Width\nDoor,2\n",
       "row 1, column 2 \"Width\": no such key (did you mean \"width\"?) (the columns"},
      {true, "name,centre\nDoor,1 2 3\n", "no such key (did you mean \"center\"?)"},
      {false, R"([{"name": "Door", "Width": 2}])",
       "unknown key \"Width\" (did you mean \"width\"?)"},
      {false, R"([{"nmae": "Door"}])", "unknown key \"nmae\" (did you mean \"name\"?)"},
      {false, R"([{"name": "Door", "colour": "red"}])", "unknown key \"colour\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    std::vector<artargets::PartialTarget> partials;
    std::string said;
    try {
      if (row.csv) {
        partials = artargets::PartialsFromCsv(row.input, false);
      } else {
        EXPECT_TRUE(artargets::FromJsonText(row.input, partials, said)) << said;
      }
    } catch (const artargets::UsageError& e) {
      said = e.what();
    }
    if (*row.error) {
      EXPECT_NE(said.find(row.error), std::string::npos) << said;
      if (std::string(row.error).find("did you mean") == std::string::npos) {
        EXPECT_EQ(said.find("did you mean"), std::string::npos) << said;
      }
      continue;
    }
    EXPECT_EQ(said, "");
    std::vector<std::string> names;
    for (const auto& partial : partials) names.push_back(partial.values.name);
    EXPECT_EQ(names, row.names);
    ASSERT_FALSE(partials.empty());
    EXPECT_EQ(partials.back().values.image, row.image);
  }
}

// An update table that names thousands of targets, in another order than the file's, adds new
// names (a later row changes what an earlier one added), and follows a row that changes what
// names its target.
TEST(ApplyUpdatesTest, EveryRowFindsTheTargetItNames) {
  using artargets::PartialTarget;
  constexpr int kCount = 2000;
  const auto field = [](const char* key) {
    for (const auto& f : artargets::kFields)
      if (std::string(f.key) == key) return &f;
    return static_cast<const artargets::Field*>(nullptr);
  };
  const auto row = [&](const std::string& name, double width) {
    PartialTarget p{.place = "row", .values = {}, .given = {field("name"), field("width")}};
    p.values.name = name, p.values.width = width;
    return p;
  };
  std::vector<artargets::TargetRecord> records(kCount);
  for (int i = 0; i < kCount; ++i) records[i].name = "T" + std::to_string(i);
  std::vector<PartialTarget> rows;
  for (int i = kCount - 1; i >= 0; --i) rows.push_back(row("T" + std::to_string(i), i));
  rows.push_back(row("New", 1));
  rows.push_back(row("New", 2));
  std::string error;
  ASSERT_TRUE(artargets::ApplyUpdates(records, rows, false, error)) << error;
  ASSERT_EQ(records.size(), std::size_t(kCount + 1));
  for (int i = 0; i < kCount; ++i) EXPECT_EQ(records[i].width, i) << records[i].name;
  EXPECT_EQ(records.back().name, "New");
  EXPECT_EQ(records.back().width, 2);

  struct IdRow {
    std::vector<std::pair<long long, long long>> changes;  // (id, new type) in order
    bool applies;
    const char* error;
  };
  const IdRow idRows[] = {
      {{{7, 1}, {7, 1}, {8, 1}}, true, ""},
      {{{7, 0}, {7, 1}}, false, "row 2: no target is of type 1 with id 7"},
      {{{9, 1}}, false, "no target is of type 1 with id 9"},
      {{{8, 1}, {5, 1}}, false, "row 2: 2 targets are of type 1 with id 5"},
  };
  for (const IdRow& idRow : idRows) {
    std::vector<artargets::TargetRecord> typed(4);
    const long long ids[] = {7, 8, 5, 5};
    for (int i = 0; i < 4; ++i) typed[i].type = 1, typed[i].id = ids[i];
    std::vector<PartialTarget> changes;
    for (const auto& [id, type] : idRow.changes) {
      PartialTarget p{.place = "row " + std::to_string(changes.size() + 1),
                      .values = {},
                      .given = {field("id"), field("type")}};
      p.values.id = id, p.values.type = type;
      changes.push_back(p);
    }
    error.clear();
    EXPECT_EQ(artargets::ApplyUpdates(typed, changes, true, error), idRow.applies) << error;
    EXPECT_NE(error.find(idRow.error), std::string::npos) << error;
  }

  // Whether the update changed anything, from the targets it touched: bit for bit, and in the end.
  struct ChangeRow {
    std::vector<std::pair<const char*, double>> widths;  // (name, new width) in order
    bool changed;
  };
  const ChangeRow changeRows[] = {
      {{{"A", 0.5}, {"B", 0}}, false},
      {{{"B", 0.25}}, true},
      {{{"A", -0.0}}, true},
      {{{"A", 1}, {"A", 0.5}}, false},
      {{{"A", 1}, {"B", 1}, {"B", 0}}, true},
      {{{"C", 0}}, true},
  };
  for (const ChangeRow& changeRow : changeRows) {
    std::vector<artargets::TargetRecord> two(2);
    two[0].name = "A", two[0].width = 0.5, two[1].name = "B";
    std::vector<PartialTarget> changes;
    for (const auto& [name, width] : changeRow.widths) changes.push_back(row(name, width));
    bool changed = !changeRow.changed;
    ASSERT_TRUE(artargets::ApplyUpdates(two, changes, false, error, &changed)) << error;
    EXPECT_EQ(changed, changeRow.changed) << changeRow.widths.size() << " rows";
  }
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

// list --json and export hand their text over in pieces: together exactly the whole array
// dumped, each piece small whatever the number of targets, and none after one is refused.
TEST(JsonTargetsInPieces, ReadAsTheWholeArrayDumped) {
  std::vector<artargets::TargetRecord> records(2000);
  nlohmann::ordered_json whole = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < records.size(); ++i) {
    records[i].name = "T" + std::to_string(i);
    whole.push_back(artargets::RecordJson(records[i]));
  }
  std::string text;
  std::size_t pieces = 0, largest = 0;
  EXPECT_TRUE(artargets::WriteJsonTargets(records, [&](std::string_view piece) {
    ++pieces, largest = std::max(largest, piece.size()), text += piece;
    return true;
  }));
  EXPECT_EQ(text, artargets::DumpJson(whole));
  EXPECT_GT(pieces, 2u);
  EXPECT_LT(largest, text.size() / 2);
  EXPECT_EQ(artargets::ToJsonText({}), "[]\n");
  pieces = 0;
  EXPECT_FALSE(
      artargets::WriteJsonTargets(records, [&](std::string_view) { return ++pieces, false; }));
  EXPECT_EQ(pieces, 1u);
}

}  // namespace
