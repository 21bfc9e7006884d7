#include "measure/views/vistamet_program.h"

#include "measure/views/ogl_view.h"
#include "measure/views/photo_list_view.h"
#include "measure/views/photo_map_view.h"
#include "measure/views/vistamet_view.h"

namespace vistamet {

ViewClasses CVistametProgram::Views() const {
  ViewClasses views;
  views.project = CLASSINFO(CVistametView);
  views.model3D = CLASSINFO(COGLView);
  views.dataList = CLASSINFO(CPhotoListView);
  views.planMap = CLASSINFO(CPhotoMapView);
  return views;
}

}  // namespace vistamet
