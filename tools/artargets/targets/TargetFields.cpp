#include "targets/TargetFields.h"

#include <cstring>

#include "targets/ValueText.h"

namespace artargets {

namespace {

using R = TargetRecord;

std::uint64_t Bits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace

const std::array<Field, 12> kFields = {{
    {.key = "name",
     .option = "--name",
     .help = "the target's name",
     .placeholder = "NAME",
     .text = &R::name},
    {.key = "image",
     .option = "--image",
     .help = "the image it shows",
     .placeholder = "PATH",
     .text = &R::image},
    {.key = "width",
     .option = "--size",
     .help = "width and height",
     .placeholder = "W",
     .number = &R::width},
    {.key = "height",
     .option = "--size",
     .help = "width and height",
     .placeholder = "H",
     .number = &R::height},
    {.key = "type",
     .option = "--type",
     .help = "its type (1: found by its id)",
     .placeholder = "0-255",
     .whole = &R::type,
     .range = kTypeRange},
    {.key = "id",
     .option = "--id",
     .help = "its numeric id, -2147483648 to 2147483647",
     .placeholder = "ID",
     .whole = &R::id,
     .range = kIdRange},
    {.key = "center",
     .option = "--center",
     .help = "its centre",
     .placeholder = "X Y Z",
     .vector = &R::center},
    {.key = "normal",
     .option = "--normal",
     .help = "its normal",
     .placeholder = "X Y Z",
     .vector = &R::normal},
    {.key = "xdir",
     .option = "--xdir",
     .help = "its x direction",
     .placeholder = "X Y Z",
     .vector = &R::xdir},
    {.key = "ydir",
     .option = "--ydir",
     .help = "its y direction",
     .placeholder = "X Y Z",
     .vector = &R::ydir},
    {.key = "shape",
     .option = "--shape",
     .help = "the id path of its shape",
     .placeholder = "IDPATH",
     .text = &R::shape},
    {.key = "rotation",
     .option = "--rotation",
     .help = "its rotation",
     .placeholder = "NUMBER",
     .number = &R::rotation},
}};

std::string FieldText(const TargetRecord& r, const Field& field) {
  if (field.text) return Quoted(r.*field.text);
  if (field.number) return NumberText(r.*field.number);
  if (field.whole) return std::to_string(r.*field.whole);
  return VectorText(r.*field.vector);
}

std::vector<std::uint64_t> FieldBits(const TargetRecord& r, const Field& field) {
  if (field.number) return {Bits(r.*field.number)};
  if (!field.vector) return {};
  const Vec3& v = r.*field.vector;
  return {Bits(v[0]), Bits(v[1]), Bits(v[2])};
}

bool SameField(const TargetRecord& a, const TargetRecord& b, const Field& field) {
  if (field.text) return a.*field.text == b.*field.text;
  if (field.whole) return a.*field.whole == b.*field.whole;
  // FieldBits' comparison without its vectors: a bulk edit asks once a row.
  if (field.number) return Bits(a.*field.number) == Bits(b.*field.number);
  const Vec3 &u = a.*field.vector, &v = b.*field.vector;
  return Bits(u[0]) == Bits(v[0]) && Bits(u[1]) == Bits(v[1]) && Bits(u[2]) == Bits(v[2]);
}

std::vector<std::string> FieldKeys() {
  std::vector<std::string> keys;
  for (const Field& field : kFields) keys.emplace_back(field.key);
  return keys;
}

}  // namespace artargets
