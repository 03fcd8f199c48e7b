// What every command with -o checks before it writes, so that no output silently replaces an
// input or a file of another kind. "-" is standard output and never a file. An existing path
// must not be one of the command's inputs (the same file after links: device and inode, so that
// ./a.xml, a link to it and a hard link all count), must be a regular file (a folder, a FIFO or a
// device is never replaced), and a target file is replaced only by a target file, while JSON
// and SVG replace only a file that holds JSON or SVG (an earlier export or picture, never a
// target file or someone's note). Each refusal names the file and the way
// out; nothing is changed.
#pragma once

#include <string>
#include <vector>

#include "targets/TargetRecord.h"

namespace artargets {

// What a command writes where its -o points.
enum class Output { kTargetFile, kJson, kSvg, kReport };

// Whether the command may write `out`, reading `inputs` ("-" among them is no file). False once
// it said why (the command exits 1). A report's -o - is wrong usage (UsageError): a report is a
// folder.
bool OutputAllowed(const std::string& out, Output kind, const std::vector<std::string>& inputs);

// For a command that replaces the target file `out`, checked under its edit lock: whether what
// is there may go, which is nothing or a target file the plug-in loads (its targets then into
// `existing`, when given). False once it said why.
bool ReplaceableTargetFile(const std::string& out, std::vector<TargetRecord>* existing = nullptr);

}  // namespace artargets
