// The artargets tool run the way a person runs it, in a fresh folder of its own: ArtargetsTest
// runs command lines there and writes and reads the files they work on, and
// builds target files from their parts.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "TempDir.h"
#include "ToolHere.h"
#include "stb/stb_image_write.h"

namespace artest {

// `count` discs and squares on a `width`-wide grey picture, of radius `least` to `least` +
// `spread` - 1 (at least 1) and of any grey, placed at random from `seed`.
inline void Shapes(std::vector<unsigned char>& pixels, int width, int height, int count, int least,
                   int spread, unsigned seed) {
  std::mt19937 random(seed);
  for (int i = 0; i < count; ++i) {
    const int cx = int(random() % width), cy = int(random() % height);
    const int r = std::max(1, least + int(random() % unsigned(spread)));
    const auto shade = static_cast<unsigned char>(random() % 256);
    const bool square = random() % 2 == 0;
    for (int y = std::max(0, cy - r); y < std::min(height, cy + r); ++y)
      for (int x = std::max(0, cx - r); x < std::min(width, cx + r); ++x)
        if (square || (x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r)
          pixels[std::size_t(y) * width + x] = shade;
  }
}

// A target file laid out line by line as the plug-in writes it, holding `targets` (whole lines).
inline std::string PluginLayout(const std::string& targets, const std::string& version = "1") {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<augmentedreality version=\"" + version +
         "\">\n  <targets>\n    <content name=\"arcontent\">\n" + targets +
         "    </content>\n  </targets>\n</augmentedreality>\n";
}

class ArtargetsTest : public ::testing::Test {
 protected:
  // Runs `command` in the test's folder with the shell; "$A" is the tool.
  Result Shell(const std::string& command) {
    // Saved image ratings go to the test's folder, never to the user's cache.
    // Under AddressSanitizer the tool's processes skip its fake stacks for returned frames (a
    // fifth of their time); the test programs, which call the tool's code in-process too,
    // keep that check. Without the sanitizer the setting is ignored.
    const std::string line = "cd '" + dir_.path().string() + "' && A='" + ARTARGETS_PATH +
                             "' && export XDG_CACHE_HOME=\"$PWD/cache\" " +
                             "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}" +
                             "detect_stack_use_after_return=0\" && { " + command +
                             "; } >out.txt 2>err.txt";
    const int raw = std::system(line.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read("out.txt"), Read("err.txt")};
  }
  // Runs the tool with `args` in the test's folder: in this process when they are plain words
  // (ToolHere.h), else with the shell.
  Result Run(const std::string& args) {
    const auto words = WordsForHere(args);
    return words ? RunToolHere(*words, dir_.path()) : Shell("\"$A\" " + args);
  }
  // The findings `check ARGS --format json` gives, by code, of every file it checks.
  std::multimap<std::string, nlohmann::json> Findings(const std::string& args) {
    const auto report = nlohmann::json::parse(Run("check " + args + " --format json").out);
    std::multimap<std::string, nlohmann::json> found;
    for (const auto& file :
         report.contains("files") ? report["files"] : nlohmann::json::array({report}))
      for (const auto& f : file["findings"]) found.emplace(f["code"], f);
    return found;
  }
  // Shell commands that have git find its identity, and nothing else of this machine's
  // configuration, in the test's folder.
  static constexpr const char* kOwnGit =
      "export HOME=\"$PWD\" GIT_CONFIG_NOSYSTEM=1 GIT_AUTHOR_NAME=t GIT_AUTHOR_EMAIL=t "
      "GIT_COMMITTER_NAME=t GIT_COMMITTER_EMAIL=t; ";
  void Write(const std::string& name, const std::string& text) {
    artest::WriteFile(dir_.File(name), text);
  }
  std::string Read(const std::string& name) { return artest::ReadFile(dir_.File(name)); }
  // The names `list FILE` prints, in its order, without their quotes.
  std::vector<std::string> Listed(const std::string& file) {
    std::istringstream lines(Run("list " + file).out);
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);)
      names.push_back(line.substr(1, line.find("  ") - 2));
    return names;
  }
  // A target file whose "arcontent" holds `body`.
  static std::string TargetFile(const std::string& body, const std::string& root = "") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n" +
           (root.empty() ? "<augmentedreality version=\"1\">" : root) +
           "<targets><content name=\"arcontent\">" + body +
           "</content></targets></augmentedreality>\n";
  }
  // A grey picture, a JPEG when the name ends ".jpg": drawn by `grey`, or without it blobs and
  // squares of many sizes and greys placed at random from `seed`, what a tracker likes.
  void Image(const std::string& name, int width, int height,
             const std::function<int(int, int)>& grey = {}, unsigned seed = 7) {
    std::vector<unsigned char> pixels(std::size_t(width) * height, 128);
    for (int y = 0; grey && y < height; ++y)
      for (int x = 0; x < width; ++x) pixels[std::size_t(y) * width + x] = grey(x, y);
    if (!grey) Shapes(pixels, width, height, 400, 3, 40, seed);
    const std::string path = dir_.File(name);
    if (name.ends_with(".jpg"))
      stbi_write_jpg(path.c_str(), width, height, 1, pixels.data(), 95);
    else
      stbi_write_png(path.c_str(), width, height, 1, pixels.data(), width);
  }
  // The start of a CMYK JPEG: Vuforia refuses it.
  inline static const std::string kCmykJpeg{
      "\xff\xd8\xff\xc0\x00\x14\x08\x02\x00\x02\x00\x04\x01\x11\x00\x02\x11\x00\x03\x11\x00\x04\x11"
      "\x00\xff\xd9",
      26};
  static std::string Target(const std::string& properties, const char* version = "0") {
    return std::string("<content name=\"artarget\"><uint8 key=\"artargetversion\" value=\"") +
           version + "\"/>" + properties + "</content>";
  }
  static std::string Named(const std::string& name) {
    return "<string key=\"artargetname\" value=\"" + name + "\"/>";
  }
  static std::string Sized(double width, double height) {
    std::ostringstream text;
    text << "<double key=\"artargetwidth\" value=\"" << width << "\"/>"
         << "<double key=\"artargetheight\" value=\"" << height << "\"/>";
    return text.str();
  }
  static constexpr const char* kUpright =
      "<vector key=\"artargetnormal\" x=\"0\" y=\"-1\" z=\"0\"/>"
      "<vector key=\"artargetxdir\" x=\"1\" y=\"0\" z=\"0\"/>"
      "<vector key=\"artargetydir\" x=\"0\" y=\"0\" z=\"1\"/>";
  // A sound target: named, sized, with its three directions.
  static std::string Sound(const std::string& name) {
    return Target(Named(name) + Sized(1, 2) + kUpright);
  }
  static std::string Property(const char* type, const char* key, const std::string& value) {
    return std::string("<") + type + " key=\"" + key + "\" value=\"" + value + "\"/>";
  }
  static std::string Directions(const char* normal, const char* xdir, const char* ydir) {
    return std::string("<vector key=\"artargetnormal\" ") + normal +
           "/><vector key=\"artargetxdir\" " + xdir + "/><vector key=\"artargetydir\" " + ydir +
           "/>";
  }
  // A sound target 0.19 x 0.1425 (a 400 x 300 or 640 x 480 picture's shape, and fine enough)
  // showing `image`.
  static std::string Pictured(const std::string& name, const std::string& image,
                              double width = 0.19, double height = 0.1425) {
    return Target(Named(name) + Sized(width, height) + kUpright +
                  Property("string", "artargetimage", image));
  }

  artest::TempDir dir_;
};

}  // namespace artest
