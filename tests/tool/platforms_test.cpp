// Exports to the AR platforms: each library as its golden files, read by the platform's own kind
// of reader, read back into the same targets, written into a folder that harms nothing; the
// platforms' limits as check findings; and the transforms the exports' manifest gives, which put
// a picture's four corners where the target's corners stand, in every platform's anchor axes.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ArtargetsTest.h"
#include "targets/PictureFrame.h"

namespace {

namespace fs = std::filesystem;

const char* const kPlatforms[] = {"arkit", "arcore", "unity", "vuforia"};

class PlatformsTest : public artest::ArtargetsTest {
 protected:
  // A textured grey picture, what the platforms would track; or a plain one.
  void Picture(const std::string& name, int width, int height, bool plain = false) {
    Image(name, width, height, [=](int x, int y) {
      return plain ? 200 : int((std::size_t(y) * width + x) * 7919 % 256);
    });
  }
  // Two targets, placed, with their pictures beside the file.
  void Gallery() {
    Picture("door.png", 400, 300);
    Picture("lamp.jpg", 300, 600);
    ASSERT_EQ(Run("add t.xml Door --image door.png --size 0.8 0.6 --center 1 2 3 --normal 0 -1 "
                  "0 --xdir 1 0 0 --ydir 0 0 1 --rotation 0.25 --id 4 --type 1")
                  .status,
              0);
    ASSERT_EQ(Run("add t.xml Lamp --image lamp.jpg --size 0.3 0.6 --center 0 0 2 --normal 0 0 1 "
                  "--xdir 0 1 0 --ydir -1 0 0 --shape /hall/lamp")
                  .status,
              0);
  }
  // Every file below `folder`, with its path relative to it, sorted.
  std::vector<std::string> Files(const std::string& folder) {
    std::vector<std::string> files;
    const fs::path root = dir_.File(folder);
    for (const auto& entry : fs::recursive_directory_iterator(root))
      if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), root).string());
    std::sort(files.begin(), files.end());
    return files;
  }
  static fs::path Golden(const std::string& platform) {
    return fs::path(AR_SOURCE_DIR) / "tests/tool/golden/platforms" / platform;
  }
};

// Each export is its golden files, the same bytes again, reads back as the same targets (without
// its manifest, as the defaults), and parses with the platform's own kind of reader.
TEST_F(PlatformsTest, EachExportIsItsGoldenFilesReadsBackAndParsesAsThePlatformsReaders) {
  Gallery();
  const bool update = std::getenv("ARTARGETS_UPDATE_GOLDEN") != nullptr;
  for (const std::string platform : kPlatforms) {
    SCOPED_TRACE(platform);
    const std::string& out = platform;
    const artest::Result exported = Run("export t.xml --to " + platform + " -o " + out);
    ASSERT_EQ(exported.status, 0) << exported.err;
    for (const std::string& file : Files(out)) {
      if (file.ends_with(".png") || file.ends_with(".jpg")) {
        EXPECT_EQ(Read(out + "/" + file), Read(file.ends_with(".png") ? "door.png" : "lamp.jpg"));
        continue;
      }
      // The manifest is the same for every platform but its name: one golden copy (ARKit's).
      if (file == "artargets-manifest.json" && platform != "arkit") continue;
      const fs::path golden = Golden(platform) / file;
      if (update) {
        fs::create_directories(golden.parent_path());
        artest::WriteFile(golden, Read(out + "/" + file));
      }
      EXPECT_EQ(Read(out + "/" + file), artest::ReadFile(golden)) << file;
    }
    ASSERT_EQ(Run("export t.xml --to " + platform + " -o again").status, 0);
    EXPECT_EQ(Shell("diff -r " + out + " again").status, 0) << "the same targets, the same bytes";
    ASSERT_EQ(Shell("rm -r again").status, 0);

    ASSERT_EQ(Run("import --from " + platform + " " + out + " -o back.xml").status, 0);
    const artest::Result same = Run("diff t.xml back.xml");
    EXPECT_EQ(same.status, 0) << same.out;
    // Without the manifest a library carries names, pictures and sizes; the rest is the default.
    ASSERT_EQ(Shell("rm " + out + "/artargets-manifest.json").status, 0);
    ASSERT_EQ(Run("import --from " + platform + " " + out + " -o bare.xml").status, 0);
    const std::string bare = Run("list --long bare.xml").out;
    const std::string lamp =
        "\"Lamp\"  type 0  id 0  size 0.3 x 0.6  centre [0, 0, 0]  shape \"\"  image \"" + out;
    EXPECT_NE(bare.find(lamp), std::string::npos) << bare;
    EXPECT_NE(bare.find("normal [0, 0, 1]  xdir [1, 0, 0]  ydir [0, 1, 0]  rotation 0"),
              std::string::npos)
        << bare;
    ASSERT_EQ(Shell("rm back.xml bare.xml").status, 0);
  }
  const std::string schema =
      (fs::path(AR_SOURCE_DIR) / "tests/tool/golden/platforms/xcode-contents.schema.json").string();
  // Unity's YAML tags its documents !u!114: its loader takes Unity's tags.
  Write("parse.py", R"(import glob, json, sys, yaml, jsonschema
schema = json.load(open(sys.argv[1]))
for path in glob.glob('arkit/**/Contents.json', recursive=True):
    jsonschema.validate(json.load(open(path)), schema)
class Unity(yaml.SafeLoader): pass
Unity.add_multi_constructor('tag:unity3d.com,2011:',
                            lambda loader, suffix, node: loader.construct_mapping(node, deep=True))
library = yaml.load(open('unity/t.asset'), Loader=Unity)['MonoBehaviour']
assert [i['m_Name'] for i in library['m_Images']] == ['Door', 'Lamp'], library
assert library['m_Images'][1]['m_Size'] == {'x': 0.3, 'y': 0.6}, library
for line in open('arcore/image-list.txt'):
    name, path, width = line.rstrip('\n').split('|')
    assert float(width) > 0 and glob.glob('arcore/' + path), line
print('parsed')
)");
  const std::string python = "/usr/bin/python3 parse.py '" + schema + "'";
  const artest::Result parsed = Shell(python);
  EXPECT_EQ(parsed.status, 0) << parsed.err;
  EXPECT_EQ(parsed.out, "parsed\n");
  const artest::Result xml = Shell(
      "xmllint --noout vuforia/t.xml && xmllint --xpath "
      "'string(//ImageTarget[@name=\"Lamp\"]/@size)' vuforia/t.xml");
  EXPECT_EQ(xml.out, "0.300000 0.600000\n");
}

TEST_F(PlatformsTest, AnExportReplacesOnlyAnExportAndNothingWhenItCannotBeWhole) {
  Gallery();
  ASSERT_EQ(Shell("mkdir mine && echo notes >mine/notes.md").status, 0);
  struct Row {
    const char* command;
    int status;
    const char* message;  // in standard error
  };
  const Row rows[] = {
      {"export t.xml --to arkit -o mine", 1, "mine/notes.md is there, and mine is not an export"},
      {"export t.xml --to arkit -o t.xml", 1, "it is a file, not a folder"},
      {"export t.xml --to arcore", 2, "name it with -o DIR"},
      {"export missing.xml --to unity -o mine", 1, "cannot load missing.xml"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    const std::string before = Read("t.xml");
    const artest::Result run = Run(row.command);
    EXPECT_EQ(run.status, row.status);
    EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
    EXPECT_EQ(Read("mine/notes.md"), "notes\n");
    EXPECT_EQ(Read("t.xml"), before);
  }
  ASSERT_EQ(Run("export t.xml --to vuforia -o lib").status, 0);
  ASSERT_EQ(Run("set t.xml Lamp --name 'Lamp/2'").status, 0);
  const artest::Result blocked = Run("export t.xml --to vuforia -o lib");
  EXPECT_EQ(blocked.status, 1);
  EXPECT_NE(blocked.err.find("ART401"), std::string::npos) << blocked.err;
  EXPECT_NE(Read("lib/t.xml").find("name=\"Lamp\""), std::string::npos) << "the old export stays";
  ASSERT_EQ(Run("set t.xml Lamp/2 --name Lamp2").status, 0);
  ASSERT_EQ(Run("export t.xml --to vuforia -o lib").status, 0);
  EXPECT_NE(Read("lib/t.xml").find("name=\"Lamp2\""), std::string::npos) << "replaced whole";
  EXPECT_EQ(Shell("ls -a lib/images").out, ".\n..\nDoor.png\nLamp2.jpg\n");
}

TEST_F(PlatformsTest, CheckPlatformReportsEachPlatformsLimits) {
  Picture("big.png", 400, 300);
  Picture("small.png", 90, 150);
  Picture("mid.png", 250, 250);
  Picture("plain.png", 400, 300, true);
  Write("art.gif", "GIF89a");
  Write("cmyk.jpg", kCmykJpeg);
  struct Row {
    const char* platform;
    const char* target;  // add's arguments after the file
    const char* code;    // the finding wanted, or "" for none
    const char* args = "";
  };
  const Row rows[] = {
      {"arkit", "Good --image big.png --size 0.8 0.6", ""},
      {"arkit", "Small --image small.png --size 0.09 0.15", "ART405"},
      {"arcore", "Small --image mid.png --size 1 1", "ART405"},
      {"unity", "Small --image mid.png --size 1 1", ""},
      {"arkit", "Tall --image big.png --size 0.8 0.8", "ART409"},
      {"unity", "Tall --image big.png --size 0.8 0.8", ""},
      {"arcore", "'Café' --image big.png --size 0.8 0.6", "ART403"},
      {"arkit", "'Café' --image big.png --size 0.8 0.6", ""},
      {"vuforia", "'a/b' --image big.png --size 0.8 0.6", "ART401"},
      {"arcore", "Gif --image art.gif --size 1 1", "ART404"},
      {"arkit", "Gone --image gone.png --size 1 1", "ART404"},
      {"unity", "Flat --image big.png", "ART408"},
      {"vuforia", "Print --image cmyk.jpg --size 1 1", "ART406"},
      {"arkit", "Print --image cmyk.jpg --size 1 1", ""},
      {"arcore", "Plain --image plain.png --size 0.8 0.6", "ART410", " --images"},
      {"arcore", "Plain --image plain.png --size 0.8 0.6", ""},  // rated only with --images
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.platform) + " " + row.target);
    std::filesystem::remove(dir_.File("t.xml"));
    ASSERT_EQ(Run(std::string("add t.xml ") + row.target).status, 0);
    const artest::Result run =
        Run(std::string("check t.xml --platform ") + row.platform + row.args);
    const bool found = run.out.find(std::string(" ") + row.code + ":") != std::string::npos;
    EXPECT_EQ(*row.code ? found : run.out.find(" ART4") == std::string::npos, true) << run.out;
  }
  std::filesystem::remove(dir_.File("t.xml"));
  for (const char* name : {"Door", "door"})
    ASSERT_EQ(Run(std::string("add t.xml ") + name + " --image big.png --size 0.8 0.6").status, 0);
  const artest::Result clash = Run("check t.xml --platform unity --format sarif");
  EXPECT_NE(clash.out.find("\"ART402\""), std::string::npos) << "names that differ only in case";

  std::string many = "[";
  for (int i = 0; i <= 1000; ++i)
    many += (i ? ",{\"name\":\"T" : "{\"name\":\"T") + std::to_string(i) +
            "\",\"image\":\"big.png\",\"width\":0.8,\"height\":0.6}";
  Write("many.json", many + "]");
  ASSERT_EQ(Run("import many.json -o many.xml").status, 0);
  for (const auto& [platform, wanted] : {std::pair{"arcore", true}, {"unity", false}})
    EXPECT_EQ(Run(std::string("check many.xml --platform ") + platform).out.find("ART407") !=
                  std::string::npos,
              wanted)
        << platform;
}

TEST_F(PlatformsTest, TheReportShowsWhichPlatformsEachTargetPasses) {
  Picture("big.png", 400, 300);
  Picture("mid.png", 250, 250);
  ASSERT_EQ(Run("add t.xml Big --image big.png --size 0.8 0.6").status, 0);
  ASSERT_EQ(Run("add t.xml Mid --image mid.png --size 1 1").status, 0);
  ASSERT_EQ(Run("report t.xml -o rep --platform arkit,arcore --no-cache").status, 0);
  const std::string page = Read("rep/index.html");
  const auto row = [&](const std::string& name) {
    const std::size_t at = page.find("<td>" + name + "</td>");
    return at == std::string::npos ? "" : page.substr(at, page.find("</tr>", at) - at);
  };
  // The pictures score 0 here: every target fails ARCore's advice of 75 (ART410).
  const std::pair<std::string, std::string> wanted[] = {
      {"Big", "&#10003; arkit</span> <span class=\"fails\" title=\"ART410\">&#10007; arcore"},
      {"Mid", "&#10003; arkit</span> <span class=\"fails\" title=\"ART405 ART410\">"}};
  for (const auto& [name, cell] : wanted) {
    const std::string shown = row(name);
    EXPECT_NE(shown.find(cell), std::string::npos) << shown.substr(shown.rfind("<td"));
  }
  ASSERT_EQ(Run("report t.xml -o rep").status, 0);
  EXPECT_EQ(Read("rep/index.html").find("platforms"), std::string::npos) << "only when asked";
}

using artargets::AnchorAxes;
using artargets::Vec3;

Vec3 Plus(const Vec3& a, const Vec3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Vec3 Times(const Vec3& v, double s) { return {v[0] * s, v[1] * s, v[2] * s}; }
double Dot3(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 Cross3(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec3 Unit3(const Vec3& v) { return Times(v, 1 / std::sqrt(Dot3(v, v))); }

// `v` turned by `angle` about the unit axis `k` (Rodrigues): the rotation said another way.
Vec3 Turned(const Vec3& v, const Vec3& k, double angle) {
  return Plus(Plus(Times(v, std::cos(angle)), Times(Cross3(k, v), std::sin(angle))),
              Times(k, Dot3(k, v) * (1 - std::cos(angle))));
}

// Where a picture point (x right, y up, in metres) is on each platform's anchor.
Vec3 OnAnchor(AnchorAxes axes, double x, double y) {
  switch (axes) {
    case AnchorAxes::kArkitArcore:
      return {x, 0, -y};
    case AnchorAxes::kUnity:
      return {x, 0, y};
    case AnchorAxes::kVuforia:
      return {x, y, 0};
  }
  return {};
}

TEST(PictureFrameTest, EveryPlatformsTransformPutsTheCornersWhereTheTargetsCornersStand) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> any(-5, 5), size(0.05, 3), angle(-7, 7);
  const double metresPerUnit[] = {1, 0.001, 0.0254};
  for (int trial = 0; trial < 200; ++trial) {
    artargets::TargetRecord target;
    target.center = {any(random), any(random), any(random)};
    target.normal = {any(random), any(random), any(random)};
    target.xdir = {any(random), any(random), any(random)};
    target.width = size(random);
    target.height = size(random);
    target.rotation = angle(random);
    const double unit = metresPerUnit[trial % 3];
    const auto frame = artargets::FrameOf(target);
    ASSERT_TRUE(frame) << trial;
    // The oracle: xdir made perpendicular to the normal, turned about it by the rotation.
    const Vec3 out = Unit3(target.normal);
    const Vec3 right0 = Unit3(Plus(target.xdir, Times(out, -Dot3(target.xdir, out))));
    const Vec3 right = Turned(right0, out, target.rotation);
    const Vec3 up = Cross3(out, right);
    const artargets::Matrix4 model = artargets::ModelFromPicture(*frame, unit);
    for (AnchorAxes axes : {AnchorAxes::kArkitArcore, AnchorAxes::kUnity, AnchorAxes::kVuforia}) {
      const auto fromAnchor = artargets::Multiply(model, artargets::PictureFromAnchor(axes));
      for (const auto& [sx, sy] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
        const double x = sx * target.width * unit / 2, y = sy * target.height * unit / 2;
        const Vec3 wanted = Plus(Times(target.center, unit), Plus(Times(right, x), Times(up, y)));
        const Vec3 got = artargets::Transformed(fromAnchor, OnAnchor(axes, x, y));
        for (int i = 0; i < 3; ++i)
          EXPECT_NEAR(got[i], wanted[i], 1e-9) << "trial " << trial << " axes " << int(axes);
      }
    }
  }
}

TEST(PictureFrameTest, NoFrameWithoutANormalOrAnXdirOffIt) {
  const Vec3 none{0, 0, 0}, z{0, 0, 1}, x{1, 0, 0};
  struct Row {
    Vec3 normal, xdir;
    bool framed;
  };
  for (const Row& row : {Row{z, x, true}, Row{none, x, false}, Row{z, none, false},
                         Row{z, Times(z, -2), false}, Row{z, {NAN, 0, 0}, false}}) {
    artargets::TargetRecord target;
    target.normal = row.normal;
    target.xdir = row.xdir;
    EXPECT_EQ(artargets::FrameOf(target).has_value(), row.framed);
  }
}

}  // namespace
