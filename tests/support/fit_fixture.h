// The common ground of the fit tests: a scripted Ui, the diagnostic log
// captured, and a private current folder for "history.dmp". Each test runs
// in a fresh session.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "platform/debug_log.h"
#include "platform/headless_ui.h"
#include "precision/errors.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"
#include "support/temp_dir.h"
#include "session/fit_routine_table.h"

namespace testsupport {

class FitFixture : public ::testing::Test {
 protected:
  // Each test has a session of its own (fresh_session.cpp); only the error
  // record belongs to the thread and is cleared here.
  void SetUp() override {
    trendolin::ClearErrorInfo();
    trendolin::SetConsoleSink([this](std::string_view text) { log_ += text; });
    trendolin::DebugFlags = 2;
  }
  void TearDown() override {
    trendolin::DebugFlags = 0;
    trendolin::SetConsoleSink({});
    trendolin::ClearErrorInfo();
  }

  // Runs the model's fit routine on the test's data set.
  int Fit(int id) { return trendolin::FitRoutineOf(id)(doc_, id); }
  // The error reports shown so far.
  std::vector<std::string> Reports() const {
    std::vector<std::string> texts;
    for (const platform::UiEvent& e : ui_.EventsOf(platform::UiEvent::Kind::ErrorReport)) texts.push_back(e.text);
    return texts;
  }
  // The one report of error `errorId` in the fit of `fitId` by `routine`
  // ("unknown" for a trap).
  static std::vector<std::string> Report(int errorId, int fitId, const char* routine) {
    trendolin::ErrorRecord r;
    r.id = errorId;
    r.FitId = fitId;
    r.routine = routine;
    return {trendolin::ErrorMessage(r)};
  }
  bool Logged(const std::string& text) const { return log_.find(text) != std::string::npos; }

  TempDir dir_;  // FitNotify writes "history.dmp" into the current folder
  ScopedCurrentDir cwd_{dir_.Path()};
  platform::HeadlessUi ui_;
  platform::ScopedUi installed_{ui_};
  trendolin::CurveFit doc_;
  std::string log_;
};

}  // namespace testsupport
