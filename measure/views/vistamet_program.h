// The measurement program: the application with the windows of a project.
#pragma once

#include "measure/app/doc_manager.h"
#include "measure/app/vistamet_app.h"

namespace vistamet {

class CVistametProgram : public CVistametApp {
 protected:
  ViewClasses Views() const override;
};

}  // namespace vistamet
