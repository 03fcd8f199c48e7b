#include "ScalingInputs.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <utility>

#include "SyntheticPhoto.h"

namespace arbench {

namespace {

constexpr int kImages = 5;
constexpr double kWidth = 0.6, kHeight = 0.4, kWiderWidth = 0.7, kTallerHeight = 0.5;

// Numbers as the tool writes them: the shortest text that reads back to the same value.
std::string Number(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

// Names sort as their numbers do, so the order of writing is the canonical order.
std::string NameOf(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "Target %07d", i);
  return name;
}

std::string ImageOf(int i) { return "images/photo-" + std::to_string(i % kImages) + ".jpg"; }

// A target on a wall facing -y, one metre apart in rows of a thousand.
struct Placed {
  double x, z;
};
Placed PlaceOf(int i) { return {double(i % 1000), double(i / 1000)}; }

void AppendTarget(std::string& out, int i, double width, double height) {
  const Placed at = PlaceOf(i);
  out +=
      "      <content name=\"artarget\">\n"
      "        <uint8 key=\"artargetversion\" value=\"0\" />\n"
      "        <string key=\"artargetname\" value=\"" +
      NameOf(i) +
      "\" />\n"
      "        <string key=\"artargetimage\" value=\"" +
      ImageOf(i) +
      "\" />\n"
      "        <double key=\"artargetwidth\" value=\"" +
      Number(width) +
      "\" />\n"
      "        <double key=\"artargetheight\" value=\"" +
      Number(height) +
      "\" />\n"
      "        <uint8 key=\"artargettype\" value=\"" +
      std::to_string(i % 2) +
      "\" />\n"
      "        <int key=\"artargetid\" value=\"" +
      std::to_string(i) +
      "\" />\n"
      "        <point key=\"artargetcenter\" x=\"" +
      Number(at.x) + "\" y=\"0\" z=\"" + Number(at.z) +
      "\" />\n"
      "        <string key=\"artargetshape\" value=\"/building/wall-" +
      std::to_string(i % 100) +
      "\" />\n"
      "        <vector key=\"artargetnormal\" x=\"0\" y=\"-1\" z=\"0\" />\n"
      "        <vector key=\"artargetxdir\" x=\"1\" y=\"0\" z=\"0\" />\n"
      "        <vector key=\"artargetydir\" x=\"0\" y=\"0\" z=\"1\" />\n"
      "        <double key=\"artargetrotation\" value=\"0\" />\n"
      "      </content>\n";
}

// Writes a file a piece at a time, so that a million targets never sit in memory whole.
class Writer {
 public:
  explicit Writer(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
    if (!file_) std::abort();
  }
  ~Writer() {
    Flush();
    std::fclose(file_);
  }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  std::string& Text() { return text_; }
  void FlushWhenLarge() {
    if (text_.size() > (1u << 20)) Flush();
  }

 private:
  void Flush() {
    if (std::fwrite(text_.data(), 1, text_.size(), file_) != text_.size()) std::abort();
    text_.clear();
  }
  std::FILE* file_;
  std::string text_;
};

using Size = std::function<std::pair<double, double>(int)>;

void WriteTargetFile(const std::string& path, int count, bool lastFirst, const Size& size) {
  Writer out(path);
  out.Text() =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<augmentedreality version=\"1\">\n"
      "  <targets>\n    <content name=\"arcontent\">\n";
  for (int k = 0; k < count; ++k) {
    const int i = lastFirst ? count - 1 - k : k;
    const auto [width, height] = size(i);
    AppendTarget(out.Text(), i, width, height);
    out.FlushWhenLarge();
  }
  out.Text() += "    </content>\n  </targets>\n</augmentedreality>\n";
}

void WriteJson(const std::string& path, int count) {
  Writer out(path);
  out.Text() = "[\n";
  for (int i = 0; i < count; ++i) {
    const Placed at = PlaceOf(i);
    out.Text() += std::string(i ? ",\n" : "") + "{\"name\": \"" + NameOf(i) + "\", \"image\": \"" +
                  ImageOf(i) + "\", \"width\": " + Number(kWidth) +
                  ", \"height\": " + Number(kHeight) + ", \"type\": " + std::to_string(i % 2) +
                  ", \"id\": " + std::to_string(i) + ", \"center\": [" + Number(at.x) + ", 0, " +
                  Number(at.z) + "], \"normal\": [0, -1, 0], \"xdir\": [1, 0, 0]" +
                  ", \"ydir\": [0, 0, 1], \"shape\": \"/building/wall-" + std::to_string(i % 100) +
                  "\", \"rotation\": 0}";
    out.FlushWhenLarge();
  }
  out.Text() += "\n]\n";
}

void WriteCsv(const std::string& path, int count) {
  Writer out(path);
  out.Text() = "name,image,width,height,type,id,center,normal,xdir,ydir,shape,rotation\n";
  for (int i = 0; i < count; ++i) {
    const Placed at = PlaceOf(i);
    out.Text() += NameOf(i) + "," + ImageOf(i) + "," + Number(kWidth) + "," + Number(kHeight) +
                  "," + std::to_string(i % 2) + "," + std::to_string(i) + "," + Number(at.x) +
                  " 0 " + Number(at.z) + ",0 -1 0,1 0 0,0 0 1," + "/building/wall-" +
                  std::to_string(i % 100) + ",0\n";
    out.FlushWhenLarge();
  }
}

void WriteUpdates(const std::string& jsonPath, const std::string& csvPath, int count) {
  Writer json(jsonPath), csv(csvPath);
  json.Text() = "[\n";
  csv.Text() = "name,width\n";
  for (int i = 0; i < count; ++i) {
    json.Text() += std::string(i ? ",\n" : "") + "{\"name\": \"" + NameOf(i) +
                   "\", \"width\": " + Number(kWiderWidth) + "}";
    csv.Text() += NameOf(i) + "," + Number(kWiderWidth) + "\n";
    json.FlushWhenLarge();
    csv.FlushWhenLarge();
  }
  json.Text() += "\n]\n";
}

ScalingInputs Paths(int count, const std::string& parent) {
  ScalingInputs in;
  in.count = count;
  in.dir = parent + "/" + std::to_string(count);
  const auto at = [&](const std::string& name) { return in.dir + "/" + name; };
  in.targets = at("targets.xml"), in.reversed = at("reversed.xml");
  in.oneChange = at("one-change.xml"), in.allChanged = at("all-changed.xml");
  in.ours = at("ours.xml"), in.theirs = at("theirs.xml");
  in.newJson = at("new.json"), in.newCsv = at("new.csv");
  in.updateJson = at("update.json"), in.updateCsv = at("update.csv");
  in.emptyFolder = at("empty");
  in.middleName = NameOf(count / 2);
  return in;
}

ScalingInputs Write(int count, const std::string& parent) {
  namespace fs = std::filesystem;
  ScalingInputs in = Paths(count, parent);
  const std::string whole = in.dir + "/whole";  // made when every input is written
  if (fs::exists(whole)) return in;
  const auto at = [&](const std::string& name) { return in.dir + "/" + name; };
  fs::create_directories(at("images"));
  fs::create_directories(at("empty"));
  for (int k = 0; k < kImages; ++k)
    WriteSyntheticPhoto(at("images/photo-" + std::to_string(k) + ".jpg"), 480, 320, 7u + k);
  const Size plain = [](int) { return std::pair{kWidth, kHeight}; };
  WriteTargetFile(in.targets, count, false, plain);
  WriteTargetFile(in.reversed, count, true, plain);
  WriteTargetFile(in.oneChange, count, false, [count](int i) {
    return std::pair{i == count / 2 ? kWiderWidth : kWidth, kHeight};
  });
  WriteTargetFile(in.allChanged, count, false, [](int) { return std::pair{kWiderWidth, kHeight}; });
  WriteTargetFile(in.ours, count, false, [](int i) {
    return std::pair{i % 2 == 0 ? kWiderWidth : kWidth, kHeight};
  });
  WriteTargetFile(in.theirs, count, false, [](int i) {
    return std::pair{kWidth, i % 2 == 1 ? kTallerHeight : kHeight};
  });
  WriteJson(in.newJson, count);
  WriteCsv(in.newCsv, count);
  WriteUpdates(in.updateJson, in.updateCsv, count);
  Writer{whole};
  return in;
}

}  // namespace

const ScalingInputs& InputsFor(int count, const std::string& parent) {
  static std::map<int, ScalingInputs> written;
  auto found = written.find(count);
  if (found == written.end()) found = written.emplace(count, Write(count, parent)).first;
  return found->second;
}

}  // namespace arbench
