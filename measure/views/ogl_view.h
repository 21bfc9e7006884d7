// The 3D model window of a project. For now an empty window of its kind.
#pragma once

#include "measure/views/plain_doc_view.h"

namespace vistamet {

class COGLView : public CPlainDocView {
 public:
  COGLView();
  ViewKind Kind() const override { return ViewKind::kModel3D; }

 private:
  wxDECLARE_DYNAMIC_CLASS(COGLView);
};

}  // namespace vistamet
