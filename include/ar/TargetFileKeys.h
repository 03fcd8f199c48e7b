// The words of a target file: the names of its content elements and the thirteen property keys
// of a saved target, as the plug-in writes and reads them and as tools that examine the file
// (artargets check) know them. One place for them, so that the two cannot drift apart.
#pragma once

namespace ar::keys {

inline constexpr char kArContent[] = "arcontent";
inline constexpr char kArTarget[] = "artarget";

inline constexpr char kVersion[] = "artargetversion";
inline constexpr char kName[] = "artargetname";
inline constexpr char kImage[] = "artargetimage";
inline constexpr char kWidth[] = "artargetwidth";
inline constexpr char kHeight[] = "artargetheight";
inline constexpr char kType[] = "artargettype";
inline constexpr char kId[] = "artargetid";
inline constexpr char kCenter[] = "artargetcenter";
inline constexpr char kShape[] = "artargetshape";
inline constexpr char kNormal[] = "artargetnormal";
inline constexpr char kXDir[] = "artargetxdir";
inline constexpr char kYDir[] = "artargetydir";
inline constexpr char kRotation[] = "artargetrotation";

}  // namespace ar::keys
