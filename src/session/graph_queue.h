// Gqueue: a session's list of open graph windows, through which the
// main window refreshes and closes them, and the check marks of the Fit
// menu that tell which models have an open graph.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "graph/graph_attr.h"
#include "session/headless_graph_host.h"

namespace trendolin {

inline constexpr int kGraphQueueCapacity = 41;
inline constexpr const char* kGraphQueueFullCaption = "Error";
inline constexpr const char* kGraphQueueFullText = "The graph window queue is full.  Please\nclose one or more windows.";

class Gqueue {
 public:
  Gqueue() = default;
  Gqueue(const Gqueue&) = delete;
  Gqueue& operator=(const Gqueue&) = delete;

  // The host that creates, shows and destroys the windows (not owned).
  // nullptr gives back the queue's own headless host.
  void SetHost(GraphWindowHost* host) { host_ = host; }
  GraphWindowHost& Host() { return host_ ? *host_ : ownHost_; }
  // The queue's own host, which serves while no other is set.
  HeadlessGraphHost& DefaultHost() { return ownHost_; }

  // Puts `window`, titled `title` and showing `*record`, into the first free
  // slot, takes the record and checks the Fit menu item of its model. When
  // all 41 slots are taken: the full-queue warning, false, and the record
  // stays with the caller (who destroys the window).
  bool Add(GraphWindowId window, const std::string& title, std::unique_ptr<GraphAttr>& record);
  // Unchecks the model's menu item, tells the graph server, destroys the
  // window and its record and frees the slot. False when not queued.
  bool Remove(GraphWindowId window);
  // The first queued window whose record shows `modelId`, or kNoWindow.
  GraphWindowId Find(int modelId) const;
  // The first queued window with this title, or kNoWindow.
  GraphWindowId FindByTitle(const std::string& title) const;
  // Removes every window whose model's class bit is in `classMask` (its fit
  // is about to be redone or discarded). Answers how many went.
  int RemoveByClassMask(int classMask);
  // Closes every window: a queued window's close request removes it.
  void CloseAll();
  void RefreshAll();
  // Copies the drawing attributes of `attr` into every queued window's
  // record, then refreshes them all. Each window keeps its plot kind, and a
  // window of another kind than `attr` keeps its axes too: a residual plot's
  // symmetric range is no range for a fit's graph.
  void ApplyAttributes(const GraphAttr& attr);
  // Sets the texts given (nullptr leaves one as it is) in every queued
  // window, then refreshes them all; a title switches "DrawHeader" off so
  // that it shows.
  void ApplyTexts(const std::string* title, const std::string* xLabel, const std::string* yLabel);

  int Count() const { return count_; }
  // The record a queued window shows, or nullptr.
  const GraphAttr* Record(GraphWindowId window) const;
  // The queued windows in slot order.
  std::vector<GraphWindowId> Windows() const;
  // The check mark of the Fit menu item of model `id` (500..539).
  bool IsChecked(int id) const;
  // The Window menu's tile, cascade, refresh, restore, minimise and close
  // items (471..477) are enabled only while windows are open.
  bool WindowMenuEnabled() const { return count_ > 0; }

 private:
  struct Slot {
    GraphWindowId window = kNoWindow;
    std::string title;
    std::unique_ptr<GraphAttr> record;
  };
  void SetCheck(int id, bool checked);

  std::array<Slot, kGraphQueueCapacity> slots_;
  int count_ = 0;
  std::array<bool, 40> checked_{};  // models 500..539
  GraphWindowHost* host_ = nullptr;
  HeadlessGraphHost ownHost_;
};

}  // namespace trendolin
