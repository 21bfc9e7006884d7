// The data list window of a project. For now an empty window of its kind.
#pragma once

#include "measure/views/plain_doc_view.h"

namespace vistamet {

class CPhotoListView : public CPlainDocView {
 public:
  CPhotoListView();
  ViewKind Kind() const override { return ViewKind::kDataList; }

 private:
  wxDECLARE_DYNAMIC_CLASS(CPhotoListView);
};

}  // namespace vistamet
