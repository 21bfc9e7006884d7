// A plan-map fixture shared by the map's tests: an adjusted project with
// three points and a symbol library of plain strokes, painted into a
// recording sink.
#pragma once

#include <gtest/gtest.h>

#include "measure/model/plan_map.h"
#include "measure/model/recording_sink.h"
#include "measure/model/symbol_library.h"
#include "measure/model/vistamet_doc.h"
#include "measure/records/test_support.h"

namespace vistamet {

// An adjusted project with three points; point 1 is the plane point, in the
// plane Z = 0 (so theta = 0 and the map shows X and Y).
class PlanMapFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Space(1, 0, 2000, 0, 1, 3);
    Space(2, 1000, 2000, 0, 0, 2);
    Space(3, 1000, 3000, 0, 0, 1);  // seen by one ray only
    doc_.planePoint = 1;
    doc_.planeSet = 1;
    doc_.adjusted = 1;
    doc_.mapShowTime = 0;
    doc_.SetPrompt(&prompt_);
    symbols_.symbols.resize(53);
    for (VectorSymbol& s : symbols_.symbols) s.elements.push_back({kSymbolLine, {0, 0, 0, 1, 0, 0}});
  }
  void Space(int32_t number, double x, double y, double z, int control, int rays) {
    doc_.spacePoints.push_back(testing::MakeSpacePoint(number, x, y, z, control, rays));
  }

  MapProjection Paint() {
    sink_ = RecordingSink();
    return PaintPlanMap(doc_, view_, symbols_, "(time)", sink_);
  }
  const SpacePoint& P(int i) const { return doc_.spacePoints[i]; }

  CVistametDoc doc_;
  testing::ScriptedPrompt prompt_;
  MapViewState view_;
  SymbolLibrary symbols_;
  RecordingSink sink_;
};

}  // namespace vistamet
