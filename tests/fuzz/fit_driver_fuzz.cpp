// libFuzzer target of the fit drivers: any small data set, fitted with any
// model 500..539 under any weighting, unattended, must end in a stored result
// or a reported error, never a crash, a hang, undefined behaviour, or a
// "result" whose coefficients or statistics are not finite numbers (but for
// the correlation of constant data, which is 0/0).
//
// Input: byte 0 the model, byte 1 the weighting, the uncertainty column and
// the derivative method, byte 2 the highest degree allowed and the
// polynomial degree, the tension or the user formula, byte 3 how values are
// encoded; the rest the points.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/error_handle.h"
#include "app/run_flags.h"
#include "data/curve_fit.h"
#include "data/document_hooks.h"
#include "session/drivers.h"
#include "session/fit_hunter.h"
#include "fit/engine_state.h"
#include "session/interpolation_drivers.h"
#include "session/linear_fits_dialogs.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "fuzz/fuzz_check.h"
#include "session/graph_queue.h"
#include "session/headless_graph_host.h"
#include "platform/headless_ui.h"
#include "platform/profile_file.h"
#include "precision/errors.h"
#include "session/session.h"
#include "usermodel/user_model.h"
#include "session/user_model_dialog.h"

namespace {

using trendolin::CurveFit;
using trendolin::datatype;

constexpr int kMaxPoints = 40;

const char* const kFormulas[] = {
    "a+b*x", "a*exp(b*x)", "a*sin(b*x+c)", "a/(x-b)", "a*x^b", "sqrt(a*x)+b", "a*log(b*x)", "a+b*x+c*x^2+d*x^3",
};


// Every process-wide record a fit reads or writes, as at program start.
// A value from the input: a float as stored (non-finite ones become 0; no
// data file or edit can hold them), or a small integer at a chosen scale.
datatype NextValue(const std::uint8_t*& p, const std::uint8_t* end, bool raw, int scale) {
  if (raw) {
    if (end - p < 4) return 0;
    datatype v;
    std::memcpy(&v, p, 4);
    p += 4;
    return std::isfinite(v) ? v : 0.0f;
  }
  if (end - p < 2) return 0;
  const std::int16_t i = static_cast<std::int16_t>(p[0] | p[1] << 8);
  p += 2;
  return std::ldexp(static_cast<datatype>(i), scale);
}

bool AllFinite(const datatype* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) return false;
  }
  return true;
}

bool AllFinite(const std::vector<datatype>& values) {
  return AllFinite(values.data(), static_cast<int>(values.size()));
}

// The statistics triple (S, r, standard deviation) must be numbers, except
// r for data whose y are all equal (to float precision): an exact fit then
// has r = 0/0, which stays a quiet NaN, and S = 0.
bool StatisticsHold(const datatype* statistics, std::size_t count) {
  if (count < 3) return count == 0;
  if (!std::isfinite(statistics[0]) || !std::isfinite(statistics[2])) return false;
  return std::isfinite(statistics[1]) || (std::isnan(statistics[1]) && statistics[0] == 0);
}

// What a fit reported as its result must be numbers.
void CheckResult(CurveFit& doc, int id) {
  if (id == trendolin::kUserModel) {
    const trendolin::UserFitResult& r = trendolin::CurrentEngine().userModel;
    FUZZ_CHECK(AllFinite(r.coefficients) && StatisticsHold(r.statistics.data(), r.statistics.size()));
    return;
  }
  if (id >= trendolin::kFirstInterpolation) {
    const trendolin::InterpResult& r = doc.Interp(id);
    for (int a = 0; a < r.arrayCount; ++a) FUZZ_CHECK(AllFinite(r.arrays[a]));
    return;
  }
  if (id == 503) return;  // the data plot has no result
  const trendolin::FitResult& r = doc.Slot(id);
  FUZZ_CHECK(AllFinite(r.coefficients) && StatisticsHold(r.statistics.data(), r.statistics.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const FuzzSession fresh;
  if (size < 4) return 0;
  static trendolin::HeadlessGraphHost host;
  platform::HeadlessUi ui(platform::HeadlessUi::Mode::Unattended);
  platform::ScopedUi installed(ui);
  trendolin::CurrentSession().graphQueue.SetHost(&host);

  const int id = trendolin::kFirstModelId + data[0] % trendolin::kModelCount;
  trendolin::CurrentSession().settings.weighting = trendolin::kWeightingY2 + data[1] % 6;
  const int uncertainty = (data[1] >> 3) & 1;
  trendolin::CurrentSession().settings.SetFlag(trendolin::kFlagQuickDerivatives, (data[1] >> 4) & 1);
  const bool raw = data[3] & 0x80;
  const int scale = (data[3] & 0x3f) - 32;

  const std::uint8_t* p = data + 4;
  const std::uint8_t* const end = data + size;
  const int width = 2 + uncertainty;
  const int perPoint = width * (raw ? 4 : 2);
  const int n = std::min<int>(kMaxPoints, static_cast<int>((size - 4) / perPoint));
  if (n < 1) return 0;

  CurveFit doc;
  doc.ResetData();
  doc.AllocateData(n, width, uncertainty);
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < width; ++c) doc.At(r, c) = NextValue(p, end, raw, scale);
  }
  doc.bStatsStale = 1;

  // The three models that ask first get their answer as their dialogs would.
  // "MaxPolyDegree" comes from the settings file, which may say anything.
  const char* const maxDegrees[] = {"19", "2", "40", "1000000"};
  platform::ProfileFile settingsFile;
  settingsFile.Set(trendolin::kSettingsSection, "MaxPolyDegree", maxDegrees[(data[2] >> 5) & 3]);
  trendolin::CurrentSession().settings.maxPolyDegree = trendolin::ReadAppSettings(settingsFile).maxPolyDegree;
  if (id == trendolin::kPolynomialModel) {
    const trendolin::DegreeCheck check =
        trendolin::CheckDegreeText(std::to_string(1 + (data[2] & 31)), n, trendolin::CurrentSession().settings.maxPolyDegree);
    if (check.verdict != trendolin::DegreeVerdict::Accepted) return 0;
    trendolin::CurrentEngine().polynomialDegree = check.degree;
    trendolin::CurrentSession().modelDialogs.polynomial = 0;
  } else if (id == 538) {
    const char* const tensions[] = {"0.001", "0.5", "1", "2.5", "10", "100", "1e4", "1e-6"};
    const trendolin::TensionCheck check = trendolin::CheckTensionText(tensions[data[2] % 8]);
    if (check.verdict != trendolin::TensionVerdict::Accepted) return 0;
    trendolin::ApplyTension(doc, check.tension);
    trendolin::CurrentSession().modelDialogs.tension = 0;
  } else if (id == trendolin::kUserModel) {
    trendolin::InitUserModel();
    if (trendolin::UserModelDialogOk(kFormulas[data[2] % 8])) std::abort();
    trendolin::CurrentSession().modelDialogs.userModel = 0;
  }

  trendolin::InstallFitDriverHooks(doc);
  trendolin::Reexamine(doc, 0);
  if (trendolin::CurrentSession().availability.ModelEnabled(id)) {
    try {
      trendolin::DispatchFitCommand(doc, id);
    } catch (const trendolin::errnotify&) {
      trendolin::ErrorHandle();
    }
    if (trendolin::FitIsCurrent(doc, id)) CheckResult(doc, id);
  }
  trendolin::CurrentSession().graphQueue.CloseAll();
  trendolin::CurrentSession().graphQueue.SetHost(nullptr);
  return 0;
}
