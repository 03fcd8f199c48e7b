// The XML form of a serialized-content tree, shared by XmlWriter and XmlParser (and described
// for people in docs/target-file.md):
//
//   <content name="arcontent">                      a content element
//     <uint8  key="k" value="0"/>                   unsigned char
//     <int    key="k" value="-7"/>                  int
//     <double key="k" value="0.1"/>                 double (see ValueText.h)
//     <float  key="k" value="0.5"/>                 float
//     <bool   key="k" value="true"/>                bool
//     <string key="k" value="any text"/>            du::Symbol
//     <point  key="k" x="1" y="2" z="3"/>           dg::DPoint3D
//     <vector key="k" x="0" y="0" z="1"/>           dg::DVec3
//   </content>
//
// Children appear in the order they were added, properties before content elements. Text that
// XML cannot carry (control characters, invalid UTF-8) is written as hexadecimal bytes in a
// "-hex" attribute instead: name-hex, key-hex, value-hex.
#pragma once

namespace serializedContent::form {

inline constexpr char kContent[] = "content";
inline constexpr char kName[] = "name";
inline constexpr char kKey[] = "key";
inline constexpr char kValue[] = "value";
inline constexpr char kHexSuffix[] = "-hex";
inline constexpr char kX[] = "x";
inline constexpr char kY[] = "y";
inline constexpr char kZ[] = "z";

inline constexpr char kUInt8[] = "uint8";
inline constexpr char kInt[] = "int";
inline constexpr char kDouble[] = "double";
inline constexpr char kFloat[] = "float";
inline constexpr char kBool[] = "bool";
inline constexpr char kString[] = "string";
inline constexpr char kPoint[] = "point";
inline constexpr char kVector[] = "vector";

}  // namespace serializedContent::form
