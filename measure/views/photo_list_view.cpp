#include "measure/views/photo_list_view.h"

#include "measure/shell/app_texts.h"

namespace vistamet {

wxIMPLEMENT_DYNAMIC_CLASS(CPhotoListView, wxView);

CPhotoListView::CPhotoListView() : CPlainDocView(&CVistametDoc::listWindowOn, ui::kTitleDataList) {}

}  // namespace vistamet
