// Vistamet, the close-range photogrammetry program.
#include "measure/views/vistamet_program.h"

wxIMPLEMENT_APP(vistamet::CVistametProgram);
