#include "measure/views/photo_map_view.h"

#include "measure/shell/app_texts.h"

namespace vistamet {

wxIMPLEMENT_DYNAMIC_CLASS(CPhotoMapView, wxView);

CPhotoMapView::CPhotoMapView() : CPlainDocView(&CVistametDoc::mapWindowOn, ui::kTitlePlanMap) {}

}  // namespace vistamet
