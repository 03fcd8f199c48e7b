#include "reports/HtmlReport.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "checks/FindingCodes.h"
#include "checks/FindingsByTarget.h"
#include "reports/TargetViews.h"
#include "support/SafeText.h"
#include "targets/ValueText.h"

namespace artargets {

namespace {

constexpr std::size_t kMostDrawnFeatures = 150;

constexpr const char* kStyle = R"(
body { font-family: sans-serif; margin: 1.5em; color: #222; }
table { border-collapse: collapse; margin: 1em 0 2em; }
th, td { border: 1px solid #ccc; padding: 4px 8px; vertical-align: top; text-align: left; }
th.sortable { cursor: pointer; text-decoration: underline dotted; }
figure { position: relative; margin: 0; }
figure svg { position: absolute; left: 0; top: 0; }
figure circle { fill: none; stroke: #F0E442; stroke-width: 1; }
.error { color: #D55E00; font-weight: bold; } .warning { color: #8a5a00; } .note { color: #555; }
.score { font-weight: bold; font-size: 1.2em; }
.swatch { display: inline-block; width: 0.9em; height: 0.9em; border: 1px solid #222;
          vertical-align: middle; }
.range { font-weight: normal; font-size: 0.8em; white-space: nowrap; }
.passes { color: #007A5A; } .fails { color: #B34700; }
ul { margin: 0; padding-left: 1.2em; }
)";

// Sorts a table by its score column when the column's head is clicked, high or low first.
constexpr const char* kScript = R"(
document.querySelectorAll('th.sortable').forEach(function (head) {
  head.addEventListener('click', function () {
    var body = head.closest('table').tBodies[0];
    var down = head.dataset.order !== 'down';
    head.dataset.order = down ? 'down' : 'up';
    Array.from(body.rows)
      .sort(function (a, b) { return (b.dataset.score - a.dataset.score) * (down ? 1 : -1); })
      .forEach(function (row) { body.appendChild(row); });
  });
});
)";

std::string Html(const std::string& text) { return HtmlEscaped(SafeText(text)); }

// Text written into the page as Html makes it, without copies for the usual plain text: a page
// of a million rows writes millions of names and messages.
struct HtmlText {
  std::string_view text;
};

std::ostream& operator<<(std::ostream& out, const HtmlText& escaped) {
  const bool plain = std::all_of(escaped.text.begin(), escaped.text.end(), [](char c) {
    return c >= ' ' && c <= '~' && c != '&' && c != '<' && c != '>' && c != '"' && c != '\'';
  });
  if (plain) return out << escaped.text;
  return out << HtmlEscaped(SafeText(escaped.text));
}

// A coordinate in a thumbnail, to a tenth of a pixel.
std::string Short(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// The coverage grid shaded (the less covered, the darker) and the features as circles, over the
// thumbnail, in the thumbnail's pixels.
std::string Overlay(const ImageQuality& q, const Thumbnail& t) {
  std::ostringstream svg;
  svg << "<svg width=\"" << t.width << "\" height=\"" << t.height << "\" viewBox=\"0 0 " << t.width
      << " " << t.height << "\" aria-hidden=\"true\">";
  const double sx = q.width > 0 ? double(t.width) / q.width : 0;
  const double sy = q.height > 0 ? double(t.height) / q.height : 0;
  if (q.coverageColumns > 0 && q.coverageRows > 0) {
    const double cw = double(t.width) / q.coverageColumns, ch = double(t.height) / q.coverageRows;
    for (int r = 0; r < q.coverageRows; ++r)
      for (int c = 0; c < q.coverageColumns; ++c) {
        const float covered = q.coverage[std::size_t(r) * q.coverageColumns + c];
        svg << "<rect class=\"cell\" x=\"" << DrawingNumber(c * cw) << "\" y=\""
            << DrawingNumber(r * ch) << "\" width=\"" << DrawingNumber(cw) << "\" height=\""
            << DrawingNumber(ch) << "\" fill=\"#000\" fill-opacity=\""
            << DrawingNumber(0.55 * (1 - covered)) << "\" stroke=\"#fff\" stroke-opacity=\"0.4\"/>";
      }
  }
  // Every k-th feature, at most kMostDrawnFeatures: enough to see where they are, while a page
  // of many images stays small.
  const std::size_t step = (q.features.size() + kMostDrawnFeatures - 1) / kMostDrawnFeatures;
  for (std::size_t i = 0; i < q.features.size(); i += std::max<std::size_t>(1, step)) {
    const ImageFeature& f = q.features[i];
    svg << "<circle cx=\"" << Short(f.x * sx) << "\" cy=\"" << Short(f.y * sy) << "\" r=\""
        << Short(std::max(1.5, f.radius * sx)) << "\"/>";
  }
  svg << "</svg>";
  return svg.str();
}

std::string Counted(std::size_t n, const std::string& word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// What a finding says, without what its row shows already: the target's name, and its image's
// path, which stand in their own columns ("target 1 \"Banner\": its image \"banner.png\" is
// missing" reads "the image is missing" in Banner's row). Two parts: "the image" or nothing,
// and the rest of the message.
std::pair<std::string_view, std::string_view> InItsRow(std::string_view message,
                                                       const PlacedTarget* t) {
  if (!t) return {{}, message};
  const std::string who =
      "target " + std::to_string(t->place) + (t->name.empty() ? "" : " " + Quoted(t->name)) + ": ";
  if (!message.starts_with(who)) return {{}, message};
  const std::string_view rest = message.substr(who.size());
  const std::string image = "its image " + Quoted(t->image);
  if (!t->image.empty() && rest.starts_with(image)) return {"the image", rest.substr(image.size())};
  return {{}, rest};
}

void FindingList(std::ostream& out, FindingsByTarget::Group findings, const PlacedTarget* t) {
  if (findings.empty()) return;
  out << "<ul>";
  for (const Finding* f : findings) {
    const std::string_view severity = SeverityName(f->severity);
    const auto [lead, rest] = InItsRow(f->message, t);
    out << "<li class=\"" << severity << "\">" << severity << " " << f->code << ": "
        << HtmlText{lead} << HtmlText{rest} << "</li>";
  }
  out << "</ul>";
}

// A score in its class's colour, with the class named for those who do not see the colour, and
// `under` it (the tracking range).
std::string ScoreCell(int score, const std::string& under) {
  if (score < 0) return "<td class=\"score\">-" + under + "</td>";
  const ScoreClass* c = std::find_if(std::begin(kScoreClasses), std::end(kScoreClasses),
                                     [&](const ScoreClass& k) { return score >= k.from; });
  return std::string("<td class=\"score\" style=\"background: ") + c->colour + "\" title=\"" +
         c->range + "\">" + std::to_string(score) + under + "</td>";
}

// The classes of score as swatches, as the views and the table colour them.
std::string ScoreLegend() {
  std::string legend = "<p class=\"legend\">Image scores:";
  for (const ScoreClass& c : kScoreClasses)
    legend += std::string(" <span class=\"swatch\" style=\"background: ") + c.colour +
              "\"></span> " + c.range;
  return legend + ".</p>\n";
}

// Which platforms the target passes (report --platform): each name, marked, with the codes of
// what it fails on; nothing without platforms.
std::string PlatformCell(const ReportedFile& file, std::size_t i) {
  if (file.platforms.empty()) return {};
  std::string cell = "<td class=\"platforms\">";
  for (std::size_t p = 0; p < file.platforms.size(); ++p) {
    const std::vector<std::string>& codes = file.platformCodes[p][i];
    std::string listed;
    for (const std::string& code : codes) listed += (listed.empty() ? "" : " ") + code;
    cell += codes.empty()
                ? "<span class=\"passes\">&#10003; " + Html(file.platforms[p]) + "</span> "
                : "<span class=\"fails\" title=\"" + Html(listed) + "\">&#10007; " +
                      Html(file.platforms[p]) + " (" + Html(listed) + ")</span> ";
  }
  return cell + "</td>";
}

// The rows and sections are written straight into the page: a million rows are not each made
// a stream and a string of their own, nor a section copied whole into the page.
void Row(std::ostream& row, const ReportedFile& file, std::size_t i,
         const FindingsByTarget& findings) {
  const PlacedTarget& t = file.checked.targets[i];
  const TargetImage* image = i < file.checked.images.size() ? &file.checked.images[i] : nullptr;
  const int score =
      image && image->found && image->quality.problem.empty() ? image->quality.score : -1;
  row << "<tr data-score=\"" << score << "\"><td>" << t.place << "</td><td>" << HtmlText{t.name}
      << "</td><td>";
  const auto& thumbnail = i < file.thumbnails.size() ? file.thumbnails[i] : std::nullopt;
  if (thumbnail && image) {
    row << "<figure><img src=\"" << thumbnail->dataUri << "\" width=\"" << thumbnail->width
        << "\" height=\"" << thumbnail->height << "\" alt=\"" << HtmlText{t.image} << "\">"
        << Overlay(image->quality, *thumbnail) << "</figure>";
  }
  std::string range;
  if (image && image->range.tracks)
    range = "<div class=\"range\">tracks from " + MetresText(image->range.nearest) + " to " +
            MetresText(image->range.farthest) + " m</div>";
  row << "<div>" << HtmlText{t.image.empty() ? "(no image)" : t.image} << "</div></td>"
      << ScoreCell(score, range) << "<td>";
  if (image && !image->quality.reasons.empty()) {
    row << "<ul>";
    for (const std::string& reason : image->quality.reasons)
      row << "<li>" << HtmlText{reason} << "</li>";
    row << "</ul>";
  }
  row << "</td><td>";
  FindingList(row, findings.Of(i), &t);
  row << "</td>" << PlatformCell(file, i) << "</tr>\n";
}

void Section(std::ostream& html, const ReportedFile& file) {
  const CheckedFile& c = file.checked;
  html << "<section>\n<h2>" << HtmlText{c.path} << "</h2>\n";
  const FindingsByTarget findings(c);
  if (!c.loaded) {
    FindingList(html, findings.Own(), nullptr);
    html << "</section>\n";
    return;
  }
  html << "<p>" << Counted(c.loadedCount, "target") << "; "
       << Counted(CountOf(c, Severity::kError), "error") << ", "
       << Counted(CountOf(c, Severity::kWarning), "warning") << ".</p>\n";
  FindingList(html, findings.Own(), nullptr);
  html << "<div class=\"views\">" << file.svg << "</div>\n"
       << "<table class=\"targets\"><thead><tr><th>#</th><th>name</th><th>image</th>"
       << "<th class=\"sortable\" title=\"sort by score\">score</th><th>what lowers it</th>"
       << "<th>findings</th>" << (file.platforms.empty() ? "" : "<th>platforms</th>")
       << "</tr></thead>\n<tbody>\n";
  for (std::size_t i = 0; i < c.targets.size(); ++i) Row(html, file, i, findings);
  html << "</tbody></table>\n</section>\n";
}

}  // namespace

std::string HtmlEscaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool WriteHtmlReport(const std::vector<ReportedFile>& files, const std::string& unit,
                     const TextPieces& put) {
  PiecesStream html(put);
  html << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
       << "<title>artargets report</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n"
       << "<h1>AR targets report</h1>\n<p>Lengths in " << HtmlText{unit}
       << ". On each image: the features that counted (yellow circles); the "
       << "darker a part of the grid, the fewer features it holds.</p>\n"
       << ScoreLegend();
  for (const ReportedFile& file : files) Section(html, file);
  html << "<script>" << kScript << "</script>\n</body>\n</html>\n";
  return html.Finish();
}

}  // namespace artargets
