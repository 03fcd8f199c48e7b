// Target files in version control: one canonical text, edits that touch nothing, and three-way
// merges. Then what a target file holds beyond the targets the plug-in reads: it survives every
// command that rewrites the file, and git's filter and merge driver, where it stood.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ArtargetsTest.h"
#include "HostTest.h"
#include "targets/PlainTargetText.h"
#include "targets/TargetComparison.h"
#include "targets/TargetFields.h"
#include "versioncontrol/Diff.h"
#include "versioncontrol/Identity.h"
#include "versioncontrol/ThreeWay.h"

namespace {

using artest::Result;

class VersionControlTest : public artest::ArtargetsTest {
 protected:
  // The same four targets (three share a name: ids 0, -2 and 7, whose texts, which order equal
  // keys, sort them the other way) in the order `order` gives.
  std::string Shuffled(const std::vector<int>& order) {
    const std::string targets[] = {
        Sound("Door"), Sound("Arch"),
        Target(Named("Door") + "<int key=\"artargetid\" value=\"-2\"/>" + Sized(9, 9)),
        Target(Named("Door") + "<int key=\"artargetid\" value=\"7\"/>" + Sized(0.5, 5))};
    std::string body;
    for (int i : order) body += targets[i];
    return TargetFile(body);
  }
  std::string Stamp(const std::string& name) { return Shell("stat -c %y " + name).out; }
};

TEST_F(VersionControlTest, FmtGivesEveryOrderOneTextAndTouchesOnlyWhatChanges) {
  // Every order in a file of its own, checked and formatted by one run each.
  std::vector<int> order{0, 1, 2, 3};
  std::vector<std::string> names, texts;
  std::string listed;
  do {
    names.push_back("p" + std::to_string(names.size()) + ".xml");
    texts.push_back(Shuffled(order));
    Write(names.back(), texts.back());
    listed += " " + names.back();
  } while (std::next_permutation(order.begin(), order.end()));
  const Result check = Run("fmt --check" + listed);
  const Result piped = Shell("\"$A\" fmt - <" + names.back());
  ASSERT_EQ(Run("fmt" + listed).status, 0);
  const std::string canonical = Read(names.front());
  EXPECT_EQ(piped.out, canonical);
  std::string unformatted;
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(Read(names[i]), canonical) << names[i];
    if (texts[i] != canonical)
      unformatted += names[i] + ": not in canonical form (artargets fmt rewrites it)\n";
  }
  EXPECT_EQ(check.out, unformatted);
  EXPECT_EQ(check.status, 1);
  Write("t.xml", canonical);
  std::string ids;  // by name, then by id as a signed number
  for (std::size_t at = 0; (at = canonical.find("artargetid\" value=\"", at)) != std::string::npos;
       at += 19)
    ids += canonical.substr(at + 19, canonical.find('"', at + 19) - at - 19) + " ";
  EXPECT_EQ(ids, "0 -2 0 7 ");
  EXPECT_LT(canonical.find("\"Arch\""), canonical.find("\"Door\""));

  const std::string stamp = Stamp("t.xml");
  EXPECT_EQ(Run("fmt --check t.xml").status, 0);
  EXPECT_EQ(Run("fmt t.xml").status, 0);
  const Result same = Run("set t.xml Arch --size 1 2");
  EXPECT_EQ(same.out, "t.xml: unchanged, the targets already hold those values\n");
  EXPECT_EQ(Stamp("t.xml"), stamp) << "no write when nothing changes";
  EXPECT_EQ(Read("t.xml"), canonical);

  Write("u.xml", Shuffled({3, 2, 1, 0}));
  const std::string newer = "<augmentedreality version=\"2\"><targets/></augmentedreality>";
  Write("bad.xml", newer);
  Write("other.xml", "<a/>");
  const Result many = Run("fmt --check t.xml other.xml u.xml");
  EXPECT_EQ(many.status, 1);
  EXPECT_EQ(many.out,
            "other.xml: note ART102: not a target file (its root is not <augmentedreality>); "
            "skipped\nu.xml: not in canonical form (artargets fmt rewrites it)\n");
  EXPECT_EQ(Run("fmt bad.xml u.xml").status, 2) << "a target file that does not load";
  EXPECT_EQ(Read("bad.xml"), newer);
  EXPECT_EQ(Read("u.xml"), canonical) << "the others are still formatted";
  for (const char* passed : {"bad.xml", "other.xml"}) {  // the clean filter changes nothing else
    const Result filtered = Shell(std::string("\"$A\" fmt - <") + passed);
    EXPECT_EQ(filtered.status, 0) << passed;
    EXPECT_EQ(filtered.out, Read(passed));
  }
}

// Each row edits copies of one base on two sides with the tool and merges them (sides that each
// add a target, or change other fields or one field two ways, merge through git below).
TEST_F(VersionControlTest, MergeTakesEachSidesChangesAndReportsConflicts) {
  struct Row {
    const char* name;
    const char* ours;  // artargets commands run on o.xml ("-" for none)
    const char* theirs;
    int status;
    const char* merged;  // `list --long` lines that must be in the result, ";"-separated
    const char* report;  // in standard error
  };
  const Row rows[] = {
      {"the same change on both", "set o.xml Door --type 2", "set h.xml Door --type 2", 0,
       "\"Door\"  type 2", ""},
      {"removed against changed", "remove o.xml Door", "set h.xml Door --type 3", 1, "\"Window\"",
       "conflict: \"Door\" (id 0) target: base (present), ours removed, theirs changed: type"},
      {"changed against removed", "set o.xml Door --type 3", "remove h.xml Door", 1,
       "\"Door\"  type 3", "base (present), ours changed: type, theirs removed"},
      {"removed against untouched", "-", "remove h.xml Window", 0, "\"Door\"", ""},
      {"both add one name differently", "add o.xml Gate --type 1", "add h.xml Gate --type 2", 1,
       "\"Gate\"  type 1", "conflict: \"Gate\" (id 0) type: base (none), ours 1, theirs 2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Write("b.xml", TargetFile(Target(Named("Door") + "<string key=\"artargetimage\" "
                                                     "value=\"d.png\"/>") +
                              Sound("Window")));
    Shell("cp b.xml o.xml && cp b.xml h.xml");
    for (const char* edit : {row.ours, row.theirs})
      if (std::string(edit) != "-") {
        ASSERT_EQ(Run(edit).status, 0) << edit;
      }
    const Result r = Run("merge b.xml o.xml h.xml -o m.xml");
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_NE(r.err.find(row.report), std::string::npos) << r.err;
    const std::string merged = Run("list --long m.xml").out;
    std::stringstream wanted(row.merged);
    for (std::string line; std::getline(wanted, line, ';');)
      EXPECT_NE(merged.find(line), std::string::npos) << line << " in\n" << merged;
    EXPECT_EQ(Run("fmt --check m.xml").status, 0) << "written canonical";
  }
  // No base: both sides added the file. A base that does not load writes nothing.
  const Result unrelated = Run("merge none.xml o.xml h.xml");
  EXPECT_EQ(unrelated.status, 1) << "Gate added twice, differently";
  EXPECT_NE(unrelated.err.find("1 conflict; o.xml keeps our side"), std::string::npos)
      << "OUT defaults to OURS: " << unrelated.err;
  Write("empty.xml", "");  // the base git gives when both sides added the file
  EXPECT_EQ(Run("merge empty.xml o.xml h.xml -o e.xml").status, 1);
  Write("bad.xml", "<a/>");
  const std::string ours = Read("o.xml");
  EXPECT_EQ(Run("merge bad.xml o.xml h.xml").status, 2);
  EXPECT_EQ(Read("o.xml"), ours);
  const Result json = Run("merge b.xml o.xml h.xml --json -o j.xml");
  EXPECT_NE(json.out.find("\"field\": \"type\""), std::string::npos) << json.out;
}

// Edits on two sides that touch different fields always merge to both; the same field changed
// two ways always conflicts, keeping ours; a name only one side added is kept.
TEST_F(VersionControlTest, RandomEditsMergeExactlyWhenTheirFieldsDiffer) {
  std::mt19937 random(20261207);
  const auto field = [](int i) { return &artargets::kFields[static_cast<std::size_t>(i)]; };
  const auto change = [&](artargets::TargetRecord& r, const artargets::Field* f, int value) {
    if (f->text) r.*f->text = "v" + std::to_string(value);
    if (f->number) r.*f->number = value;
    if (f->whole) r.*f->whole = value % 256;
    if (f->vector) r.*f->vector = {double(value), 0, 0};
  };
  for (int round = 0; round < 300; ++round) {
    std::vector<artargets::TargetRecord> base(3);
    for (int i = 0; i < 3; ++i) base[i].name = "T" + std::to_string(i);
    auto ours = base, theirs = base;
    const auto target = random() % 3;
    // Fields other than the name (0) and the id (5), which are the target's identity.
    std::vector<int> fields{1, 2, 3, 4, 6, 7, 8, 9, 10, 11};
    std::shuffle(fields.begin(), fields.end(), random);
    const bool overlap = round % 2 == 1;
    change(ours[target], field(fields[0]), 1 + round);
    change(theirs[target], field(fields[overlap ? 0 : 1]), 2 + round);
    if (!overlap) change(ours[target], field(fields[2]), 3 + round);
    // Each side also adds a name the others lack, one sorting before the rest, one after.
    ours.emplace_back().name = "A" + std::to_string(round);
    theirs.emplace_back().name = "U" + std::to_string(round);
    const artargets::Difference difference = artargets::Compare(base, ours);
    EXPECT_EQ(difference.added.size() + difference.removed.size() + difference.changed.size(), 2u);
    const artargets::Merged merged = artargets::MergeTargets(base, ours, theirs);
    ASSERT_EQ(merged.targets.size(), 5u);
    const auto& result = *std::find_if(merged.targets.begin(), merged.targets.end(),
                                       [&](const auto& r) { return r.name == base[target].name; });
    auto both = ours[target];
    if (!overlap) change(both, field(fields[1]), 2 + round);
    EXPECT_TRUE(artargets::SameRecord(result, both)) << round;
    ASSERT_EQ(merged.conflicts.size(), overlap ? 1u : 0u) << round;
    if (overlap) {
      EXPECT_EQ(merged.conflicts[0].field, field(fields[0])->key);
    }
  }
}

// Within one name, equal ids pair first (the n-th of an id with the n-th), whatever order the
// groups come in; the rest pair in order.
TEST(PairWithinTest, EqualIdsPairFirstAndTheRestInOrder) {
  struct Row {
    std::vector<long long> from, to;
    std::vector<int> partner;  // -1: none
  };
  const Row rows[] = {
      {{}, {1}, {}},
      {{3}, {}, {-1}},
      {{3}, {4}, {0}},
      {{1, 2}, {3, 4}, {0, 1}},
      {{7, 7, 0}, {0, 7}, {1, -1, 0}},
      {{5, 1, 5}, {5, 5, 5, 9}, {0, 2, 1}},
      {{2, 1, 0}, {0, 1, 2}, {2, 1, 0}},
      {{4, 9, 4}, {4, 8, 4, 4}, {0, 1, 2}},
  };
  const auto group = [](const std::vector<long long>& ids) {
    std::vector<artargets::TargetRecord> targets(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) targets[i].name = "Door", targets[i].id = ids[i];
    return targets;
  };
  for (const Row& row : rows) {
    const artargets::Pairing pairing = artargets::PairWithin(group(row.from), group(row.to));
    std::vector<int> partner;
    for (const auto& k : pairing) partner.push_back(k ? int(*k) : -1);
    EXPECT_EQ(partner, row.partner)
        << ::testing::PrintToString(row.from) << " to " << ::testing::PrintToString(row.to);
  }
}

// Thousands of targets of one name: diff and merge pair each with its id, in any order of the
// files, so that a change shows as one change and each side's edits land on their targets.
TEST(PairWithinTest, ALargeGroupOfOneNamePairsByIdInDiffAndMerge) {
  constexpr int kCount = 1000;
  std::vector<artargets::TargetRecord> base(kCount);
  for (int i = 0; i < kCount; ++i) base[i].name = "Door", base[i].id = i, base[i].width = 1;
  std::vector<artargets::TargetRecord> ours(base.rbegin(), base.rend()), theirs = base;
  ours[kCount - 1 - 10].width = 2;  // id 10
  theirs[20].height = 3;
  theirs.erase(theirs.begin() + 30);
  const artargets::Difference difference = artargets::Compare(base, ours);
  ASSERT_EQ(difference.changed.size(), 1u);
  EXPECT_EQ(difference.changed[0].second.id, 10);
  EXPECT_TRUE(difference.added.empty() && difference.removed.empty());
  const artargets::Difference removal = artargets::Compare(base, theirs);
  ASSERT_EQ(removal.removed.size(), 1u);
  EXPECT_EQ(removal.removed[0].id, 30);
  EXPECT_EQ(removal.changed.size(), 1u);
  const artargets::Merged merged = artargets::MergeTargets(base, ours, theirs);
  EXPECT_TRUE(merged.conflicts.empty());
  ASSERT_EQ(merged.targets.size(), std::size_t(kCount - 1));
  for (const auto& r : merged.targets) {
    EXPECT_EQ(r.width, r.id == 10 ? 2 : 1) << r.id;
    EXPECT_EQ(r.height, r.id == 20 ? 3 : 0) << r.id;
    EXPECT_NE(r.id, 30);
  }
}

TEST_F(VersionControlTest, RepeatedNamesArePickedByIdOrPlaceAndDiffSpeaksToTools) {
  Write("t.xml", TargetFile(Target(Named("Door") + "<uint8 key=\"artargettype\" value=\"1\"/>"
                                                   "<int key=\"artargetid\" value=\"7\"/>") +
                            Sound("Door") + Sound("Arch")));
  Shell("cp t.xml before.xml");
  ASSERT_EQ(Run("set t.xml --id 7 --image seven.png").status, 0);
  ASSERT_EQ(Run("set t.xml --index 1 --name Gate").status, 0) << "Arch is first in list";
  EXPECT_EQ(Run("remove t.xml --id 8").status, 1);
  EXPECT_EQ(Run("remove t.xml --index 4").status, 1);
  EXPECT_EQ(Run("remove t.xml --id 7 --index 1").status, 2) << "one way to pick";
  const Result stat = Run("diff before.xml t.xml --stat");
  EXPECT_EQ(stat.out, "1 added, 1 removed, 1 changed (1 field)\n");
  const Result json = Run("diff before.xml t.xml --json");
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.out.find("\"image\": {\n          \"old\": \"\",\n          \"new\": "
                          "\"seven.png\""),
            std::string::npos)
      << json.out;
  ASSERT_EQ(Run("remove t.xml --id 7").status, 0);
  EXPECT_EQ(Run("list t.xml").out.find("seven"), std::string::npos);
}

// A whole target as the plug-in writes it.
const std::string kWholeTarget = R"(      <content name="artarget">
        <uint8 key="artargetversion" value="0" />
        <string key="artargetname" value="Café ✓" />
        <string key="artargetimage" value="images/door.png" />
        <double key="artargetwidth" value="1e-300" />
        <double key="artargetheight" value="-0" />
        <uint8 key="artargettype" value="255" />
        <int key="artargetid" value="-2147483648" />
        <point key="artargetcenter" x="1.5" y="-2" z="3e5" />
        <string key="artargetshape" value="/hall/wall" />
        <vector key="artargetnormal" x="0" y="-1" z="0.25" />
        <vector key="artargetxdir" x="1" y="0" z="0" />
        <vector key="artargetydir" x="0" y="0" z="1" />
        <double key="artargetrotation" value="90.125" />
      </content>
)";

// A file as the plug-in writes it holds nothing to keep, and reads into the records the plug-in
// would give, each value in its own field. One line more or otherwise, or anything the plug-in
// does not write, and the exact reading must look; a target it cannot read whole (a property
// missing, an escaped or control character) holds nothing more but is read by the plug-in.
// Comparing records makes targets on the host: it is shut down after, as after a command.
class PlainTargetTextTest : public artest::HostTest {};

TEST_F(PlainTargetTextTest, OnlyThePluginsLayoutHoldsNothingMoreAndReadsIntoRecords) {
  const auto file = [](const std::string& t, const char* v = "1") {
    return artest::PluginLayout(t, v);
  };
  const auto with = [](const std::string& from, const std::string& to) {
    std::string changed = kWholeTarget;
    changed.replace(changed.find(from), from.size(), to);
    return changed;
  };
  // name, image, size, type, id, centre, normal, xdir, ydir, shape, rotation
  const artargets::TargetRecord door = {"Café ✓",  "images/door.png", 1e-300,         -0.0,
                                        255,       -2147483648LL,     {1.5, -2, 3e5}, {0, -1, 0.25},
                                        {1, 0, 0}, {0, 0, 1},         "/hall/wall",   90.125};
  artargets::TargetRecord gate = door;
  gate.name = "Gate";
  gate.id = 7;
  std::string gateTarget = with("Café ✓", "Gate");
  gateTarget.replace(gateTarget.find("-2147483648"), 11, "7");
  struct Row {
    std::string text;
    bool plain;
    std::vector<artargets::TargetRecord> records = {};  // none: not read
  };
  const Row rows[] = {
      {file(gateTarget + kWholeTarget), true, {gate, door}},  // in the file's order
      {file(""), true},
      {file(kWholeTarget, "0"), true, {door}},
      {file(kWholeTarget, "2"), true},  // the root's version is the reader's to judge
      {file(kWholeTarget, "01"), true},
      {file(with("        <double key=\"artargetrotation\" value=\"90.125\" />\n", "")), true},
      {file(with("/hall/wall", "/hall &amp; wall")), true},
      {file(with("/hall/wall", "/hall\x01wall")), true},
      // A tab or carriage return, which the XML reader turns into a space, is doubt.
      {file(with("/hall/wall", "/hall\twall")), false},
      {file(with("/hall/wall", "/hall\rwall")), false},
      {file(with("artargetrotation", "artargetspin")), false},
      {file(with("version\" value=\"0\"", "version\" value=\"1\"")), false},
      {file(with("        <uint8 key=\"artargetversion\" value=\"0\" />\n", "")), false},
      {file(kWholeTarget).substr(0, file(kWholeTarget).size() - 1), false},  // no last line feed
      {"<!-- a comment -->\n" + file(kWholeTarget), false},
      {file(kWholeTarget + "      <!-- a comment -->\n"), false},
      {file(with("artarget\">", "artarget\" x=\"1\">")), false},
      {file(with("value=\"1e-300\" />", "value=\"1e-300\" unit=\"m\" />")), false},
      {file(with("<double key=\"artargetwidth\"", "<int key=\"artargetwidth\"")), false},
      {file(with("value=\"1e-300\"", "value=\"wide\"")), false},
      {file(with("value=\"1e-300\"", "value=\"&#49;e-300\"")), false},
      {file(with("value=\"-2147483648\"", "value=\"99999999999\"")), false},
      {file(with("<int key=\"artargetid\" value=\"-2147483648\" />",
                 "<int key=\"artargetid\" value=\"-2147483648\" />\n        <int "
                 "key=\"artargetid\" value=\"3\" />")),
       false},
      {file(with("z=\"3e5\" />", "z=\"3e5\"></point>")), false},
      {file(with(" />\n      </content>", " />\n        <x:extra />\n      </content>")), false},
      {file(kWholeTarget).replace(file("").find("version=\"1\""), 11, "version=\"1\" a=\"b\""),
       false},
      {file("      <content name=\"inner\">\n" + kWholeTarget + "      </content>\n"), false},
      {file(kWholeTarget) + "<!-- after -->\n", false},
      {[&] {
         std::string crlf;
         for (char c : file(kWholeTarget))
           crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
         return crlf;
       }(),
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(artargets::HoldsOnlyTargets(row.text), row.plain);
    std::vector<artargets::TargetRecord> read = {gate};  // what was there goes
    EXPECT_EQ(artargets::ReadPlainTargets(row.text, read),
              !row.records.empty() || row.text == file(""));
    ASSERT_EQ(read.size(), row.records.size());
    for (std::size_t i = 0; i < read.size(); ++i)
      EXPECT_TRUE(artargets::SameRecord(read[i], row.records[i])) << i;
  }
}

// A hand-edited file: something the reader does not know at every place a file can hold it.
constexpr const char* kHandEdited = R"(<?xml version="1.0" encoding="utf-8"?>
<!-- prolog comment -->
<augmentedreality version="1" xmlns:x="urn:x">
  <x:head>before the targets</x:head>
  <targets>
    <content name="arcontent" x:set="gallery">
      <!-- the chart's own comment -->
      <content name="artarget" x:id="chart-1">
        <uint8 key="artargetversion" value="0" />
        <string key="artargetname" value="Chart" />
        <string key="artargetnote" value="keep me" />
        <double key="artargetwidth" value="0.5" />
        <double key="artargetwidth" value="0.8" x:unit="m" />
        <int key="artargetheight" value="7" />
        <double key="artargetheight" value="0.6" />
        <double key="artargetrotation" value="wide" />
        <x:extra>child element</x:extra>
      </content>
      <content name="artarget">
        <uint8 key="artargetversion" value="2" />
        <string key="artargetname" value="Future" />
      </content>
      <content name="artarget">
        <uint8 key="artargetversion" value="0" />
        <string key="artargetname" value="Banner" />
      </content>
      <!-- the last word of the targets -->
    </content>
    <content name="later">
      <string key="k" value="v" />
    </content>
  </targets>
  <metadata author="me" />
</augmentedreality>
<!-- epilog comment -->
)";

// Each kept piece as the tool writes it back.
const std::vector<std::string> kKeptPieces = {
    "<!-- prolog comment -->\n<augmentedreality version=\"1\" xmlns:x=\"urn:x\">",
    "<x:head>before the targets</x:head>\n  <targets>",
    "<content name=\"arcontent\" x:set=\"gallery\">",
    "<!-- the chart's own comment -->\n      <content name=\"artarget\" x:id=\"chart-1\">",
    "<string key=\"artargetnote\" value=\"keep me\" />",
    "<double key=\"artargetwidth\" value=\"0.5\" />\n        <double key=\"artargetwidth\" value=",
    "x:unit=\"m\" />",
    "<int key=\"artargetheight\" value=\"7\" />",
    "<double key=\"artargetrotation\" value=\"wide\" />",
    "<x:extra>child element</x:extra>",
    "<uint8 key=\"artargetversion\" value=\"2\" />\n        <string key=\"artargetname\" "
    "value=\"Future\" />",
    "<!-- the last word of the targets -->\n    </content>",
    "<content name=\"later\">\n      <string key=\"k\" value=\"v\" />",
    "<metadata author=\"me\" />\n</augmentedreality>\n<!-- epilog comment -->\n",
};

class KeptContentTest : public artest::ArtargetsTest {
 protected:
  // The pieces `file` lacks.
  std::vector<std::string> Lost(const std::string& file) {
    const std::string text = Read(file);
    std::vector<std::string> lost;
    for (const std::string& piece : kKeptPieces)
      if (text.find(piece) == std::string::npos) lost.push_back(piece);
    return lost;
  }
  static std::string Joined(const std::vector<std::string>& pieces) {
    std::string all;
    for (const auto& piece : pieces) all += piece + "\n---\n";
    return all;
  }
};

TEST_F(KeptContentTest, EveryCommandThatRewritesAFileKeepsWhatTheReaderDoesNotKnow) {
  struct Row {
    const char* command;
    const char* result;  // the file the command writes
    const char* listed;  // a line `list --long` prints of it afterwards
  };
  const Row rows[] = {
      {"set hand.xml Chart --rotation 0.5", "hand.xml", "\"Chart\"  type 0  id 0  size 0.8 x 0.6"},
      {"set hand.xml Chart --size 2 1", "hand.xml", "\"Chart\"  type 0  id 0  size 2 x 1"},
      {"add hand.xml Zebra --size 3 3", "hand.xml", "\"Zebra\"  type 0  id 0  size 3 x 3"},
      {"remove hand.xml Banner && \"$A\" add hand.xml Banner --size 4 4", "hand.xml",
       "\"Banner\"  type 0  id 0  size 4 x 4"},
      {"import --update up.json -o hand.xml", "hand.xml", "\"Chart\"  type 0  id 9"},
      {"fmt hand.xml", "hand.xml", "\"Chart\"  type 0  id 0  size 0.8 x 0.6"},
      {"fmt - <hand.xml >out.xml", "out.xml", "\"Chart\"  type 0  id 0  size 0.8 x 0.6"},
      {"merge base.xml hand.xml theirs.xml", "hand.xml", "\"Banner\"  type 0  id 5"},
  };
  Write("up.json", R"([{"name": "Chart", "id": 9}])");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    Write("hand.xml", kHandEdited);
    Write("base.xml", kHandEdited);
    Write("theirs.xml", kHandEdited);
    ASSERT_EQ(Run("set theirs.xml Banner --id 5").status, 0);
    const artest::Result run = Run(row.command);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Joined(Lost(row.result)), "") << Read(row.result);
    EXPECT_NE(Run(std::string("list --long ") + row.result).out.find(row.listed), std::string::npos)
        << Run(std::string("list --long ") + row.result).out;
    const std::string written = Read(row.result);
    EXPECT_EQ(Run(std::string("fmt --check ") + row.result).status, 0) << "written canonical";
    ASSERT_EQ(Run(std::string("fmt ") + row.result).status, 0);
    EXPECT_EQ(Read(row.result), written) << "a second pass changes nothing";
  }
}

TEST_F(KeptContentTest, AnEditedTargetOfAnotherVersionIsRefusedAndRemovingItDropsIt) {
  Write("hand.xml", kHandEdited);
  const artest::Result edited = Run("set hand.xml '' --size 1 1");
  EXPECT_EQ(edited.status, 1);
  EXPECT_NE(edited.err.find("another format version"), std::string::npos) << edited.err;
  EXPECT_NE(edited.err.find("remove"), std::string::npos) << edited.err;
  EXPECT_EQ(Read("hand.xml"), kHandEdited);

  ASSERT_EQ(Run("remove hand.xml ''").status, 0);
  EXPECT_EQ(Read("hand.xml").find("Future"), std::string::npos);
  EXPECT_EQ(Lost("hand.xml").size(), 1u) << "only the removed target is gone";
}

TEST_F(KeptContentTest, AMergeTakesKeptContentFromTheSideThatChangedIt) {
  const std::string base = TargetFile(Sound("Arch") + Sound("Gate"));
  const std::string noted = TargetFile("<!-- noted -->" + Sound("Arch") + Sound("Gate"));
  struct Row {
    std::string ours, theirs;
  };
  for (const Row& row : {Row{base, noted}, Row{noted, base}}) {
    Write("base.xml", base);
    Write("ours.xml", row.ours);
    Write("theirs.xml", row.theirs);
    ASSERT_EQ(Run("set ours.xml Gate --id 4").status, 0);
    ASSERT_EQ(Run("merge base.xml ours.xml theirs.xml -o out.xml").status, 0);
    const std::string merged = Read("out.xml");
    EXPECT_NE(merged.find("<!-- noted -->\n      <content name=\"artarget\">\n        <uint8 "
                          "key=\"artargetversion\" value=\"0\" />\n        <string "
                          "key=\"artargetname\" value=\"Arch\" />"),
              std::string::npos)
        << merged;
  }
}

// git set up by the tool stages target files canonical, diffs and merges them with the tool,
// keeps hand edits through its filter and merge driver, and passes other XML through unchanged.
TEST_F(KeptContentTest, GitFormatsDiffsAndMergesTargetFilesAndKeepsHandEdits) {
  const auto git = [&](const std::string& command) { return Shell(kOwnGit + command); };
  ASSERT_EQ(
      git("git init -q -b main && \"$A\" git-setup '*.xml' && \"$A\" git-setup '*.xml'").status, 0);
  EXPECT_EQ(Read(".gitattributes"), "*.xml filter=artargets diff=artargets merge=artargets\n");
  Write(".gitignore", "out.txt\nerr.txt\n");  // what each command of the test prints
  // As a host saves it: not in canonical order, and two targets of one name.
  Write("t.xml", TargetFile(Target(Named("Door") + Property("int", "artargetid", "7")) +
                            Sound("Door") + Sound("Arch")));
  const std::string other = "<?xml version=\"1.0\"?>\n<project>  <b a='1'/>\n</project>\n";
  Write("pom.xml", other);
  Write("broken.xml", "<augmentedreality version=\"1\"><targets>\n<<<<<<< ours\n");
  Write("hand.xml", kHandEdited);
  const artest::Result added = git("git add . && git commit -qm base");
  ASSERT_EQ(added.status, 0) << added.err;
  EXPECT_EQ(added.err.find("pom.xml"), std::string::npos) << added.err;
  EXPECT_EQ(git("git show HEAD:t.xml").out, Shell("\"$A\" fmt - <t.xml").out) << "staged canonical";
  EXPECT_EQ(git("git show HEAD:pom.xml").out, other) << "other XML passes the filter unchanged";
  EXPECT_EQ(git("git show HEAD:broken.xml").out, Read("broken.xml"));
  const artest::Result ci = Run("fmt hand.xml t.xml && \"$A\" fmt --check pom.xml hand.xml t.xml");
  EXPECT_EQ(ci.status, 0) << ci.err;
  EXPECT_NE(ci.out.find("pom.xml: note ART102: not a target file"), std::string::npos) << ci.out;
  EXPECT_EQ(git("git add -A && git status --short").out, "") << "the filter staged the same";

  ASSERT_EQ(git("git checkout -q -b a && \"$A\" add t.xml Gate && \"$A\" set t.xml Arch --image "
                "a.png && \"$A\" set hand.xml Chart --id 3 && git commit -qam a")
                .status,
            0);
  ASSERT_EQ(git("git checkout -q main && \"$A\" add t.xml Hatch && \"$A\" set t.xml Arch --size "
                "7 7 && \"$A\" set hand.xml Banner --id 8 && git commit -qam b")
                .status,
            0);
  const artest::Result clean = git("git merge -q a -m merged");
  EXPECT_EQ(clean.status, 0) << clean.err;
  const std::string merged = Run("list --long t.xml").out;
  for (const char* wanted : {"\"Gate\"", "\"Hatch\"", "size 7 x 7  centre", "image \"a.png\""})
    EXPECT_NE(merged.find(wanted), std::string::npos) << wanted << " in\n" << merged;
  ASSERT_EQ(git("git show HEAD:hand.xml >.git/committed.xml").status, 0);
  EXPECT_EQ(Joined(Lost(".git/committed.xml")), "") << Read(".git/committed.xml");
  EXPECT_EQ(git("git status --short").out, "");
  const std::string listed = Run("list .git/committed.xml").out;
  for (const char* wanted : {"\"Banner\"  type 0  id 8", "\"Chart\"  type 0  id 3"})
    EXPECT_NE(listed.find(wanted), std::string::npos) << listed;

  ASSERT_EQ(Run("set t.xml Arch --image main.png").status, 0);
  const artest::Result diff = git("git diff --unified=0 t.xml");
  EXPECT_EQ(std::count(diff.out.begin(), diff.out.end(), '\n'), 7) << diff.out;  // 5 header lines
  EXPECT_NE(diff.out.find("+\"Arch\""), std::string::npos) << diff.out;
  ASSERT_EQ(git("git commit -qam main && git checkout -q a && \"$A\" set t.xml Arch --image "
                "other.png && git commit -qam other")
                .status,
            0);
  const artest::Result conflict = git("git merge main -m again");
  EXPECT_NE(conflict.status, 0);
  // Named as the file git merges, never as git's temporary copy of a side.
  for (const char* said : {"artargets: t.xml: conflict: \"Arch\" (id 0) image: base \"a.png\", "
                           "ours \"other.png\", theirs \"main.png\"",
                           "1 conflict; t.xml keeps our side of each"})
    EXPECT_NE(conflict.err.find(said), std::string::npos) << conflict.err;
  EXPECT_EQ(conflict.err.find(".merge_file"), std::string::npos) << conflict.err;
  EXPECT_NE(git("git status --short").out.find("UU t.xml"), std::string::npos);
  EXPECT_EQ(Run("check t.xml").status, 0) << "the conflicted file still loads";
}

}  // namespace
