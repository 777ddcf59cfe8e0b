// Graph windows without a display, for tests and the command-line tool: a
// record of every window created and of what was done to it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "session/graph_window_host.h"

namespace trendolin {

struct HeadlessGraphWindow {
  GraphWindowId id = kNoWindow;
  std::string title;
  int modelId = 0;
  bool visible = false;            // shown (created windows start hidden)
  bool informationPosted = false;  // command 103 was posted instead of showing it
  bool destroyed = false;
  int raised = 0;                  // times brought to the top
  int refreshed = 0;               // times refreshed
};

class HeadlessGraphHost : public GraphWindowHost {
 public:
  GraphWindowId CreateGraphWindow(const std::string& title, GraphAttr& record) override;
  void ShowGraphWindow(GraphWindowId window) override;
  void RaiseGraphWindow(GraphWindowId window) override;
  void PostInformationCommand(GraphWindowId window) override;
  void RefreshGraphWindow(GraphWindowId window) override;
  void GraphWindowClosing(GraphWindowId window) override;
  void DestroyGraphWindow(GraphWindowId window) override;

  // The record of `window`, or nullptr when this host never created it.
  const HeadlessGraphWindow* Window(GraphWindowId window) const;
  // Every window ever created, destroyed ones included, in creation order.
  std::vector<HeadlessGraphWindow> AllWindows() const;
  // Windows created and not destroyed.
  int LiveCount() const;
  // Refuses every creation while set (a window system out of resources).
  void FailCreation(bool fail) { failCreation_ = fail; }

 private:
  HeadlessGraphWindow* Find(GraphWindowId window);

  std::map<GraphWindowId, HeadlessGraphWindow> windows_;
  GraphWindowId nextId_ = 1;
  bool failCreation_ = false;
};

}  // namespace trendolin
