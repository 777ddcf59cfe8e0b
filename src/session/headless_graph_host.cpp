// The record-keeping graph window host.
#include "session/headless_graph_host.h"

namespace trendolin {

HeadlessGraphWindow* HeadlessGraphHost::Find(GraphWindowId window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

GraphWindowId HeadlessGraphHost::CreateGraphWindow(const std::string& title, GraphAttr& record) {
  if (failCreation_) return kNoWindow;
  HeadlessGraphWindow window;
  window.id = nextId_++;
  window.title = title;
  window.modelId = record.modelId;
  windows_[window.id] = window;
  return window.id;
}

void HeadlessGraphHost::ShowGraphWindow(GraphWindowId window) {
  if (HeadlessGraphWindow* w = Find(window)) w->visible = true;
}

void HeadlessGraphHost::RaiseGraphWindow(GraphWindowId window) {
  if (HeadlessGraphWindow* w = Find(window)) {
    w->visible = true;
    ++w->raised;
  }
}

void HeadlessGraphHost::PostInformationCommand(GraphWindowId window) {
  if (HeadlessGraphWindow* w = Find(window)) w->informationPosted = true;
}

void HeadlessGraphHost::RefreshGraphWindow(GraphWindowId window) {
  if (HeadlessGraphWindow* w = Find(window)) ++w->refreshed;
}

void HeadlessGraphHost::GraphWindowClosing(GraphWindowId /*window*/) {}

void HeadlessGraphHost::DestroyGraphWindow(GraphWindowId window) {
  if (HeadlessGraphWindow* w = Find(window)) {
    w->destroyed = true;
    w->visible = false;
  }
}

const HeadlessGraphWindow* HeadlessGraphHost::Window(GraphWindowId window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

std::vector<HeadlessGraphWindow> HeadlessGraphHost::AllWindows() const {
  std::vector<HeadlessGraphWindow> all;
  for (const auto& [id, window] : windows_) all.push_back(window);
  return all;
}

int HeadlessGraphHost::LiveCount() const {
  int live = 0;
  for (const auto& [id, window] : windows_) live += window.destroyed ? 0 : 1;
  return live;
}

}  // namespace trendolin
