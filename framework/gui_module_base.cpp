#include "framework/gui_module_base.h"

#include <cstring>
#include <vector>

namespace zav {

std::int32_t GuiPin::getInt() const {
  std::int32_t cell = 0;
  module->callHost(gui_host_op::kGetPinValue, index, 0, &cell);
  return cell;
}

float GuiPin::getFloat() const {
  float cell = 0.0f;
  module->callHost(gui_host_op::kGetPinValue, index, 0, &cell);
  return cell;
}

void GuiPin::setInt(std::int32_t value) const {
  module->callHost(gui_host_op::kSetPinValue, index, value);
}

void GuiPin::setFloat(float value) const {
  module->callHost(gui_host_op::kSetPinValue, index, 0, nullptr, value);
}

std::string GuiPin::getText() const {
  const auto* text =
      reinterpret_cast<const char*>(module->callHost(gui_host_op::kGetPinText, index));
  return text != nullptr ? std::string(text) : std::string();
}

void GuiPin::setText(const std::string& text) const {
  module->callHost(gui_host_op::kSetPinText, index, 0, const_cast<char*>(text.c_str()));
}

std::u16string GuiPin::getWideText() const {
  const auto needed = module->callHost(gui_host_op::kGetPinListText, index);
  if (needed <= 0) {
    return {};
  }
  const auto size = static_cast<std::int32_t>(needed);
  std::vector<char16_t> buffer(static_cast<std::size_t>(size), u'\0');
  module->callHost(gui_host_op::kGetPinListText, index, size, buffer.data());
  std::size_t length = 0;
  while (length < buffer.size() && buffer[length] != u'\0') {
    ++length;
  }
  return std::u16string(buffer.data(), length);
}

GuiModuleBase::GuiModuleBase(HostCallback callback, std::intptr_t reserved)
    : hostCallback(callback) {
  std::memset(&hostRecord, 0, sizeof hostRecord);
  hostRecord.magic = kGuiRecordMagic;
  hostRecord.dispatcher = &guiEntry;
  hostRecord.object = this;
  hostRecord.reserved = reserved;
  hostRecord.version = 1;
}

void GuiModuleBase::initialise(bool /*loaded*/) {}

std::int32_t GuiModuleBase::dispatch(std::int32_t operation, std::int32_t a, std::int32_t b,
                                     void* c, float d) {
  return closing.dispatch(
      operation == gui_op::kClose, [&] { return runOperation(operation, a, b, c, d); },
      [this] { destroy(); });
}

void GuiModuleBase::destroy() {
  close();
  delete this;
}

std::int32_t GuiModuleBase::runOperation(std::int32_t operation, std::int32_t a, std::int32_t b,
                                         void* c, float d) {
  switch (operation) {
  case gui_op::kInitialise:
    initialise(a == 1);
    return 0;
  case gui_op::kHook2:
    onOperation2(a, c);
    return 0;
  case gui_op::kHook3:
    onOperation3(c, d, OperationPair{a, b});
    return 0;
  case gui_op::kHook4:
    onOperation4(c, d, OperationPair{a, b});
    return 0;
  case gui_op::kHook5:
    onOperation5(c, d, OperationPair{a, b});
    return 0;
  case gui_op::kHook6:
    onOperation6(b, a, c);
    return 0;
  case gui_op::kPinChanged:
    onPinChange(GuiPin{a, this});
    return 0;
  case gui_op::kHook8:
    onOperation8(c);
    return 0;
  case gui_op::kHook9:
    onOperation9(c);
    return 0;
  case gui_op::kQuery10:
    return onOperation10() ? 1 : 0;
  case gui_op::kRefreshList:
    onOperation11(a);
    return 0;
  case gui_op::kClearList:
    onOperation12(a);
    return 0;
  default:
    return 0;
  }
}

std::intptr_t GuiModuleBase::callHost(std::int32_t operation, std::int32_t a, std::int32_t b,
                                      void* c, float d) {
  return hostCallback(&hostRecord, operation, a, b, c, d);
}

std::intptr_t GuiModuleBase::request8(std::int32_t a, std::int32_t b, void* c) {
  return callHost(gui_host_op::kRequest8, a, b, c);
}

std::intptr_t GuiModuleBase::request18(void* c) {
  return callHost(gui_host_op::kRequest18, 0, 0, c);
}

std::intptr_t GuiModuleBase::request19(void* c) {
  return callHost(gui_host_op::kRequest19, 0, 0, c);
}

bool GuiModuleBase::request20(void* c) { return callHost(gui_host_op::kRequest20, 0, 0, c) != 0; }

std::int32_t guiEntry(GuiHostRecord* record, std::int32_t operation, std::int32_t a, std::int32_t b,
                      void* c, float d) noexcept {
  try {
    return static_cast<GuiModuleBase*>(record->object)->dispatch(operation, a, b, c, d);
  } catch (...) {
    return 0;
  }
}

} // namespace zav
