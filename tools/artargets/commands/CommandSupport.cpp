#include "commands/CommandSupport.h"

#include <algorithm>
#include <cstdint>
#include <iostream>

#include "du/FileWriter.h"
#include "support/InputFile.h"
#include "support/SafeText.h"

namespace artargets {

namespace {

constexpr std::size_t kMaxPiece = std::size_t{1} << 30;  // the writer takes 32-bit lengths

}  // namespace

// Every message names what it is about, and names from outside are printed escaped.
int Fail(const std::string& message) {
  std::cerr << "artargets: " << SafeText(message) << "\n";
  return 1;
}

int CannotLoad(const std::string& path, const std::string& why) {
  return Fail("cannot load " + InputName(path) + ": " + why);
}

bool Load(const std::string& path, std::vector<TargetRecord>& records, LetGoOfTargets letGo,
          KeptFrame* kept) {
  std::string why;
  if (LoadTargetFile(path, records, why, letGo, kept)) return true;
  CannotLoad(path, why);
  return false;
}

int Save(const std::string& path, const std::vector<TargetRecord>& records, const KeptFrame* kept) {
  std::string error, text;
  if (!kept || !KeepsAnything(records, *kept)) {
    if (!SaveTargetFile(path, records, error)) return Fail(error);
    return 0;
  }
  // The plug-in writes the targets; what it does not know is put back into its text.
  if (!SavedText(records, text, error) || !WriteKeptContent(text, records, *kept, error) ||
      !WriteText(path, text, error))
    return Fail(error + (IsStandardStream(path) ? "" : "; " + path + " is left as it was"));
  return 0;
}

bool WriteText(const std::string& path, std::string_view text, std::string& error) {
  return WriteTextInPieces(
      path, [&](const TextPieces& put) { return put(text); }, error);
}

bool WriteTextInPieces(const std::string& path, const PiecesWriter& write, std::string& error) {
  if (IsStandardStream(path)) {
    write([](std::string_view piece) {
      std::cout.write(piece.data(), std::streamsize(piece.size()));
      return true;
    });
    return true;
  }
  const du::SmartPtr<du::FileWriter> file = du::FileWriter::Construct();
  bool written = file && file->Open(path, 0, 1 << 16, true);
  written = written && write([&](std::string_view piece) {
              for (std::size_t at = 0; at < piece.size(); at += kMaxPiece)
                if (!file->Write1ByteArray(piece.data() + at, static_cast<std::uint32_t>(std::min(
                                                                  kMaxPiece, piece.size() - at))))
                  return false;
              return true;
            });
  if (written && file->Close()) return true;
  error = "cannot write " + path + (file ? ": " + file->GetLastError() : std::string());
  return false;
}

}  // namespace artargets
