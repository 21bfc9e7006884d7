// GeoReckon, the coordinate tools program.
#include "geotools/app/georeckon_app.h"

wxIMPLEMENT_APP(georeckon::CGeoReckonApp);
