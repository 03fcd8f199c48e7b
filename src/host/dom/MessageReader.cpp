#include "dom/MessageReader.h"

namespace dom {

MessageRecord::Value* MessageReader::Next(MessageRecord::Kind kind) {
  MessageRecord::Value* value = record_.At(next_);
  if (!value || value->kind != kind) return nullptr;
  ++next_;
  return value;
}

bool MessageReader::GetUInt8Value(std::uint8_t& value) {
  const MessageRecord::Value* v = Next(MessageRecord::Kind::kUInt8);
  if (v) value = v->byte;
  return v != nullptr;
}

bool MessageReader::GetBooleanValue(bool& value) {
  const MessageRecord::Value* v = Next(MessageRecord::Kind::kBoolean);
  if (v) value = v->boolean;
  return v != nullptr;
}

bool MessageReader::GetRawPtr(void*& object) {
  MessageRecord::Value* v = Next(MessageRecord::Kind::kPointer);
  if (!v) return false;
  object = v->object;
  v->counted = nullptr;  // the reference now belongs to the caller
  return true;
}

}  // namespace dom
