// What the graph queue and the fit drivers ask of the windowing system for
// graph windows (a Qt host in the windows, a headless one elsewhere).
#pragma once

#include <string>

#include "graph/graph_attr.h"

namespace trendolin {

class GraphWindowHost {
 public:
  virtual ~GraphWindowHost() = default;

  // Creates a hidden top-level graph window titled `title` that shows
  // `record` (the window refers to the record; whoever queues the window
  // owns the record). kNoWindow when the window cannot be created.
  virtual GraphWindowId CreateGraphWindow(const std::string& title, GraphAttr& record) = 0;
  // Shows the window normally.
  virtual void ShowGraphWindow(GraphWindowId window) = 0;
  // Shows the window normally and brings it to the top.
  virtual void RaiseGraphWindow(GraphWindowId window) = 0;
  // Leaves the window hidden and posts it command 103, so that its model
  // information window opens instead (the "NoGraphs" setting).
  virtual void PostInformationCommand(GraphWindowId window) = 0;
  // Drops the window's cached picture and repaints it.
  virtual void RefreshGraphWindow(GraphWindowId window) = 0;
  // The graph-server window hears that this window is leaving the queue.
  virtual void GraphWindowClosing(GraphWindowId window) = 0;
  virtual void DestroyGraphWindow(GraphWindowId window) = 0;
};

}  // namespace trendolin
