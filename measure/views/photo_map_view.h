// The plan map window of a project. For now an empty window of its kind.
#pragma once

#include "measure/views/plain_doc_view.h"

namespace vistamet {

class CPhotoMapView : public CPlainDocView {
 public:
  CPhotoMapView();
  ViewKind Kind() const override { return ViewKind::kPlanMap; }

 private:
  wxDECLARE_DYNAMIC_CLASS(CPhotoMapView);
};

}  // namespace vistamet
