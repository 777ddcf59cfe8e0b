// What the tests of the fit drivers and of FitHunter share: a clean slate of
// the process-wide records, a scripted Ui, a graph host and formula data.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "app/app_settings.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "data/document_hooks.h"
#include "session/drivers.h"
#include "session/fit_hunter.h"
#include "fit/engine_state.h"
#include "fit/nonlinear.h"
#include "session/graph_queue.h"
#include "platform/headless_ui.h"
#include "precision/errors.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"

namespace trendolin::testing_support {

// n points of f on [x0, x1], equally spaced, rounded to floats; `wobble`
// moves every other y up and the others down by that fraction.
inline void FillFormula(CurveFit& doc, const std::function<double(double)>& f, double x0, double x1, int n,
                        double wobble = 0) {
  doc.ResetData();
  doc.AllocateData(n, 2, 0);
  for (int i = 0; i < n; ++i) {
    const float x = static_cast<float>(x0 + (x1 - x0) * i / (n - 1));
    doc.At(i, 0) = x;
    doc.At(i, 1) = static_cast<float>(f(x) * (1 + (i % 2 ? -wobble : wobble)));
  }
  doc.bStatsStale = 1;
}

inline void FillPoints(CurveFit& doc, const std::vector<float>& x, const std::vector<float>& y) {
  doc.ResetData();
  doc.AllocateData(static_cast<int>(x.size()), 2, 0);
  for (std::size_t i = 0; i < x.size(); ++i) {
    doc.At(static_cast<int>(i), 0) = x[i];
    doc.At(static_cast<int>(i), 1) = y[i];
  }
  doc.bStatsStale = 1;
}

// Every process-wide record the drivers read or write starts from its
// program-start state, and is put back afterwards.
class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearErrorInfo();
    CurrentSession().graphQueue.SetHost(&host_);
    // A person cancels the initial-guess dialog: a failing nonlinear fit
    // asks again after every reported error, and would otherwise retry for ever.
    ui_.SetGuessDialogHandler([](int, int, float*) { return false; });
  }
  void TearDown() override {
    CurrentSession().graphQueue.CloseAll();
    CurrentSession().graphQueue.SetHost(nullptr);
    ClearErrorInfo();
  }

  // The data are examined as after opening a file.
  void Load(const std::function<double(double)>& f, double x0, double x1, int n, double wobble = 0) {
    FillFormula(doc_, f, x0, x1, n, wobble);
    Reexamine(doc_, 0);
  }
  void LoadPoints(const std::vector<float>& x, const std::vector<float>& y) {
    FillPoints(doc_, x, y);
    Reexamine(doc_, 0);
  }

  // Presses Abort (or Accept) the first time the program pumps events while
  // `when` holds.
  void StopAtFirstPump(int request, std::function<bool()> when = [] { return true; }) {
    ui_.SetPumpHook([request, when, done = false]() mutable {
      if (!done && when()) {
        done = true;
        RequestFitStop(request);
      }
    });
  }

  std::vector<int> CalculationModes() const {
    std::vector<int> modes;
    for (const platform::UiEvent& e : ui_.EventsOf(platform::UiEvent::Kind::CalculationMode)) modes.push_back(e.part);
    return modes;
  }

  const HeadlessGraphWindow* WindowOf(int id) const { return host_.Window(CurrentSession().graphQueue.Find(id)); }

  platform::HeadlessUi ui_;
  platform::ScopedUi installed_{ui_};
  HeadlessGraphHost host_;
  CurveFit doc_;
};

}  // namespace trendolin::testing_support
