// Vistamet, the close-range photogrammetry program.
#include "measure/app/vistamet_app.h"

wxIMPLEMENT_APP(vistamet::CVistametApp);
