// GeoReckon, the coordinate tools program.
#include "geotools/app/geo_reckon_app.h"

wxIMPLEMENT_APP(georeckon::CGeoReckonApp);
