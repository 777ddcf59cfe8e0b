// The main window's graph preview: which model it shows, the graph drawn
// small without header or box, the note when previews are off, and the
// failure note when the graph cannot be drawn.
#include <gtest/gtest.h>

#include "data/curve_fit.h"
#include "data/data_test_support.h"
#include "graph/preview.h"
#include "platform/profile_file.h"
#include "support/recording_surface.h"

namespace trendolin {
namespace {

using platform::ProfileFile;
using testsupport::RecordingSurface;

constexpr UiMetrics kUi{16, 7};
constexpr Rect kClient{0, 0, 400, 300};

TEST(PreviewTest, ShowsTheAnimatedModelElseTheSelectionElseTheDataPlot) {
  EXPECT_EQ(PreviewModel(522, 500), 522);
  EXPECT_EQ(PreviewModel(0, 500), 500);
  EXPECT_EQ(PreviewModel(0, std::nullopt), 503);
  EXPECT_EQ(PreviewModel(0, kPreviewNothing), kPreviewNothing);
}

TEST(PreviewTest, DrawsTheGraphSmallWithTheModelNameAsTitle) {
  CurveFit doc;
  testsupport::FillColumns(doc, {1, 2, 3, 4}, {2, 4, 6, 8});
  const GraphAttr attr = PreviewAttributes(ProfileFile(), doc, 503);
  EXPECT_EQ(attr.title, "Data Plot");
  EXPECT_EQ(attr.titleFont.size, 90);  // 18 pt halved
  EXPECT_EQ(attr.xTickFont.size, 45);
  EXPECT_FALSE(attr.Switch(kSwDrawHeader));
  EXPECT_FALSE(attr.Switch(kSwBox));
  EXPECT_EQ(attr.xMin, 0.7f);  // automatic axes on the data

  RecordingSurface surface;
  PaintPreview(surface, kClient, ProfileFile(), doc, 503, true, kUi);
  EXPECT_TRUE(surface.DrewText("Data Plot"));
  EXPECT_FALSE(surface.DrewText(kPreviewDisabledText));
  for (const std::string& text : surface.Texts()) EXPECT_EQ(text.find("S = "), std::string::npos);

  RecordingSurface untouched;
  PaintPreview(untouched, kClient, ProfileFile(), doc, kPreviewNothing, true, kUi);
  EXPECT_TRUE(untouched.Calls().empty());
}

TEST(PreviewTest, NotesWhenPreviewsAreOffOrTheGraphCannotBeDrawn) {
  CurveFit doc;
  testsupport::FillColumns(doc, {0, 1, 2}, {1, 2, 3});
  RecordingSurface off;
  PaintPreview(off, kClient, ProfileFile(), doc, 503, false, kUi);
  EXPECT_TRUE(off.DrewText(kPreviewDisabledText));
  EXPECT_FALSE(off.DrewText("Data Plot"));

  // A logarithmic x axis from 0 cannot be drawn.
  RecordingSurface failed;
  const ProfileFile logX = ProfileFile::Parse("[Plot Attributes]\nLogX=-1\n");
  PaintPreview(failed, kClient, logX, doc, 503, true, kUi);
  EXPECT_TRUE(failed.DrewText(
      "Graph Preview Area (Data Plot):  A floating point error has occurred when drawing this area. Check the axis "
      "extents and try again."));
}

}  // namespace
}  // namespace trendolin
