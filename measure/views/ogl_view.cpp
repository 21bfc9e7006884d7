#include "measure/views/ogl_view.h"

#include "measure/shell/app_texts.h"

namespace vistamet {

wxIMPLEMENT_DYNAMIC_CLASS(COGLView, wxView);

COGLView::COGLView() : CPlainDocView(&CVistametDoc::modelWindowOn, ui::kTitleModel3D) {}

}  // namespace vistamet
