#include "images/RatingCache.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "support/InputFile.h"
#include "support/Json.h"

namespace artargets {

namespace {

namespace fs = std::filesystem;

std::string HashText(std::uint64_t hash) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

// The look-alike signature as hexadecimal text: a JSON array of 25,600 numbers parses slowly.
std::string HexText(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t b : bytes) text += {kDigits[b >> 4], kDigits[b & 15]};
  return text;
}

std::vector<std::uint8_t> FromHexText(const std::string& text) {
  const auto digit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    throw std::runtime_error("not a hexadecimal digit");
  };
  if (text.size() % 2 != 0) throw std::runtime_error("a byte cut short");
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < text.size(); i += 2)
    bytes.push_back(std::uint8_t(digit(text[i]) << 4 | digit(text[i + 1])));
  return bytes;
}

Json ToJson(std::uint64_t hash, const ImageQuality& q) {
  std::vector<float> features;  // x, y, radius of each, flat: it parses several times faster
  for (const ImageFeature& f : q.features) features.insert(features.end(), {f.x, f.y, f.radius});
  Json entry = {{"hash", HashText(hash)},
                {"version", kRatingVersion},
                {"problem", q.problem},
                {"width", q.width},
                {"height", q.height},
                {"score", q.score},
                {"reasons", q.reasons},
                {"features", features},
                {"columns", q.coverageColumns},
                {"rows", q.coverageRows},
                {"coverage", q.coverage},
                {"orientation", q.orientation},
                {"transparent", q.transparent},
                {"sharpness", q.sharpness},
                {"plain_share", q.plainShare},
                {"appearance", q.appearance},
                {"signature", HexText(q.signature)}};
  entry["smallest_width"] = q.smallestWidth;
  return entry;
}

// The rating an entry holds; throws when it is not one whole entry for this hash and version.
ImageQuality FromJson(std::uint64_t hash, const Json& j) {
  if (j.at("hash").get<std::string>() != HashText(hash) ||
      j.at("version").get<int>() != kRatingVersion)
    throw std::runtime_error("another key");
  ImageQuality q;
  q.problem = j.at("problem").get<std::string>();
  q.width = j.at("width").get<int>();
  q.height = j.at("height").get<int>();
  q.score = j.at("score").get<int>();
  q.reasons = j.at("reasons").get<std::vector<std::string>>();
  const auto features = j.at("features").get<std::vector<float>>();
  if (features.size() % 3 != 0) throw std::runtime_error("a feature cut short");
  for (std::size_t i = 0; i < features.size(); i += 3)
    q.features.push_back({features[i], features[i + 1], features[i + 2]});
  q.coverageColumns = j.at("columns").get<int>();
  q.coverageRows = j.at("rows").get<int>();
  q.coverage = j.at("coverage").get<std::vector<float>>();
  if (q.coverage.size() != std::size_t(q.coverageColumns) * std::size_t(q.coverageRows))
    throw std::runtime_error("a coverage grid of the wrong size");
  q.orientation = j.at("orientation").get<int>();
  q.transparent = j.at("transparent").get<bool>();
  q.sharpness = j.at("sharpness").get<double>();
  q.plainShare = j.at("plain_share").get<double>();
  q.smallestWidth = j.at("smallest_width").get<double>();
  q.appearance = j.at("appearance").get<std::uint64_t>();
  q.signature = FromHexText(j.at("signature").get<std::string>());
  if (q.signature.size() % 128 != 0) throw std::runtime_error("a descriptor cut short");
  return q;
}

}  // namespace

RatingCache RatingCache::Usual() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && *xdg == '/') return RatingCache(std::string(xdg) + "/artargets");
  const char* home = std::getenv("HOME");
  return RatingCache(home && *home ? std::string(home) + "/.cache/artargets" : "");
}

std::string RatingCache::EntryPath(std::uint64_t hash) const {
  return folder_ + "/" + HashText(hash) + "-v" + std::to_string(kRatingVersion) + ".json";
}

std::optional<ImageQuality> RatingCache::Find(std::uint64_t hash) const {
  if (folder_.empty()) return std::nullopt;
  std::string text, why;
  if (!ReadInputFile(EntryPath(hash), text, why)) return std::nullopt;
  try {
    return FromJson(hash, Json::parse(text));
  } catch (const std::exception&) {  // truncated, corrupt or foreign: rated again, replaced
    return std::nullopt;
  }
}

void RatingCache::Store(std::uint64_t hash, const ImageQuality& quality) const {
  if (folder_.empty()) return;
  std::error_code error;
  fs::create_directories(folder_, error);
  std::string temporary = folder_ + "/.entry-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return;
  const std::string text =
      ToJson(hash, quality).dump(-1, ' ', false, Json::error_handler_t::replace);
  bool written = true;
  for (std::size_t at = 0; written && at < text.size();) {
    const ssize_t n = ::write(fd, text.data() + at, text.size() - at);
    written = n > 0;
    at += written ? std::size_t(n) : 0;
  }
  written = ::close(fd) == 0 && written;
  if (!written || std::rename(temporary.c_str(), EntryPath(hash).c_str()) != 0)
    ::unlink(temporary.c_str());
}

}  // namespace artargets
