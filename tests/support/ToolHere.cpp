#include "ToolHere.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "HostTest.h"
#include "arhost/Host.h"
#include "commandline/CommandLine.h"
#include "orlloader/Loader.h"

namespace artest {

namespace {

namespace fs = std::filesystem;

// Whether the shell gives `c` a meaning of its own outside quotes, or inside double quotes.
bool SpecialToTheShell(char c, char quote) {
  if (quote == '\'') return false;
  if (quote == '"') return std::strchr("$`\\", c) != nullptr;
  return std::strchr("<>|&;$`\\*?[]~(){}#!\t\n", c) != nullptr;
}

// Standard input and output, the launcher's options, and git-setup, which writes the path of the
// running program into git's settings.
bool OnlyTheLauncherOrAProcessHas(const std::string& word) {
  return word == "-" || word == "--version" || word == "--plugin" ||
         word.starts_with("--plugin=") || word == "git-setup";
}

// Sets an environment variable for as long as it lives, then puts the old value back.
class Setting {
 public:
  Setting(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~Setting() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
  Setting(const Setting&) = delete;
  Setting& operator=(const Setting&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// The working folder changed for as long as it lives.
class InFolder {
 public:
  explicit InFolder(const fs::path& folder) : old_(fs::current_path()) { fs::current_path(folder); }
  ~InFolder() {
    std::error_code ignored;
    fs::current_path(old_, ignored);
  }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  fs::path old_;
};

}  // namespace

std::optional<std::vector<std::string>> WordsForHere(const std::string& args) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (const char c : args) {
    if (SpecialToTheShell(c, quote)) return std::nullopt;
    if (quote) {
      if (c == quote)
        quote = 0;
      else
        word += c;
    } else if (c == '\'' || c == '"') {
      quote = c;
      inWord = true;
    } else if (c == ' ') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quote) return std::nullopt;
  if (inWord) words.push_back(std::move(word));
  for (const std::string& w : words)
    if (OnlyTheLauncherOrAProcessHas(w)) return std::nullopt;
  return words;
}

Result RunToolHere(const std::vector<std::string>& words, const fs::path& folder) {
  std::vector<std::string> line{"artargets"};
  line.insert(line.end(), words.begin(), words.end());
  std::vector<char*> argv;
  for (std::string& word : line) argv.push_back(word.data());
  argv.push_back(nullptr);

  const Setting cache("XDG_CACHE_HOME", (folder / "cache").string());
  const InFolder here(folder);
  const arhost::LiveCounts before = arhost::GetLiveCounts();
  std::string error;
  if (!orlloader::Loader::GetLoader()->LoadPlugin(AR_PLUGIN_PATH, &error))
    return {-1, "", "the plug-in did not load: " + error};
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  int status = artargets::RunCommandLine(static_cast<int>(line.size()), argv.data());
  if (!std::cout.flush()) status = 1;
  std::cerr.flush();
  Result result{status, testing::internal::GetCapturedStdout(),
                testing::internal::GetCapturedStderr()};
  arhost::Shutdown();
  ExpectNothingLeftBehind(before);
  return result;
}

}  // namespace artest
