// The graph queue's slots, its check marks and its full-queue warning.
#include "session/graph_queue.h"

#include "fit/model_desc.h"
#include "platform/ui.h"

namespace trendolin {

namespace {

constexpr int kFirstModel = kFirstCatalogueModel;
constexpr int kLastModel = kLastCatalogueModel;

void WarnQueueFull() {
  platform::TellUser(kGraphQueueFullCaption, kGraphQueueFullText);
}

}  // namespace

void Gqueue::SetCheck(int id, bool checked) {
  if (id >= kFirstModel && id <= kLastModel) checked_[static_cast<std::size_t>(id - kFirstModel)] = checked;
}

bool Gqueue::IsChecked(int id) const {
  return id >= kFirstModel && id <= kLastModel && checked_[static_cast<std::size_t>(id - kFirstModel)];
}

bool Gqueue::Add(GraphWindowId window, const std::string& title, std::unique_ptr<GraphAttr>& record) {
  for (Slot& slot : slots_) {
    if (slot.window != kNoWindow) continue;
    slot.window = window;
    slot.title = title;
    slot.record = std::move(record);
    slot.record->window = window;
    ++count_;
    SetCheck(slot.record->modelId, true);
    return true;
  }
  WarnQueueFull();
  return false;
}

bool Gqueue::Remove(GraphWindowId window) {
  if (window == kNoWindow) return false;
  for (Slot& slot : slots_) {
    if (slot.window != window) continue;
    SetCheck(slot.record->modelId, false);
    GraphWindowHost& host = Host();
    host.GraphWindowClosing(window);
    host.DestroyGraphWindow(window);
    slot = Slot{};
    --count_;
    return true;
  }
  return false;
}

GraphWindowId Gqueue::Find(int modelId) const {
  for (const Slot& slot : slots_) {
    if (slot.window != kNoWindow && slot.record->modelId == modelId) return slot.window;
  }
  return kNoWindow;
}

GraphWindowId Gqueue::FindByTitle(const std::string& title) const {
  for (const Slot& slot : slots_) {
    if (slot.window != kNoWindow && slot.title == title) return slot.window;
  }
  return kNoWindow;
}

int Gqueue::RemoveByClassMask(int classMask) {
  int removed = 0;
  for (Slot& slot : slots_) {
    if (slot.window == kNoWindow) continue;
    const CatalogueEntry* entry = CatalogueEntryOf(slot.record->modelId);
    if (entry && (entry->classMask & classMask) != 0) removed += Remove(slot.window) ? 1 : 0;
  }
  return removed;
}

void Gqueue::CloseAll() {
  for (Slot& slot : slots_) {
    if (slot.window != kNoWindow) Remove(slot.window);
  }
  count_ = 0;
}

void Gqueue::RefreshAll() {
  for (const Slot& slot : slots_) {
    if (slot.window != kNoWindow) Host().RefreshGraphWindow(slot.window);
  }
}

void Gqueue::ApplyAttributes(const GraphAttr& attr) {
  for (Slot& slot : slots_) {
    if (slot.window == kNoWindow || slot.record.get() == &attr) continue;
    GraphAttr& to = *slot.record;
    const GraphAttr before = to;
    CopyGraphAttr(to, attr);
    to.plotKind = before.plotKind;
    if (before.plotKind != attr.plotKind) {
      to.xMin = before.xMin;
      to.xMax = before.xMax;
      to.yMin = before.yMin;
      to.yMax = before.yMax;
      to.xStep = before.xStep;
      to.yStep = before.yStep;
      to.xMinorTicks = before.xMinorTicks;
      to.yMinorTicks = before.yMinorTicks;
    }
  }
  RefreshAll();
}

void Gqueue::ApplyTexts(const std::string* title, const std::string* xLabel, const std::string* yLabel) {
  for (Slot& slot : slots_) {
    if (slot.window == kNoWindow) continue;
    GraphAttr& to = *slot.record;
    if (title != nullptr) {
      to.title = *title;
      to.SetSwitch(kSwDrawHeader, false);
    }
    if (xLabel != nullptr) to.xLabel = *xLabel;
    if (yLabel != nullptr) to.yLabel = *yLabel;
  }
  RefreshAll();
}

const GraphAttr* Gqueue::Record(GraphWindowId window) const {
  if (window == kNoWindow) return nullptr;
  for (const Slot& slot : slots_) {
    if (slot.window == window) return slot.record.get();
  }
  return nullptr;
}

std::vector<GraphWindowId> Gqueue::Windows() const {
  std::vector<GraphWindowId> windows;
  for (const Slot& slot : slots_) {
    if (slot.window != kNoWindow) windows.push_back(slot.window);
  }
  return windows;
}

}  // namespace trendolin
