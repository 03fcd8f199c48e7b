// Target files in version control: one canonical text, edits that touch nothing, and three-way
// merges (git set up to use them: kept_content_test.cpp).
#include <algorithm>
#include <random>

#include "ArtargetsTest.h"
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

}  // namespace
