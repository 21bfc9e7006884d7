// Command identifiers of the measurement program's menus, toolbar and keys.
// The framework's own commands (new, open, save, print, cut, copy, paste,
// undo, the window arrangement) keep their wxID_* values.
#pragma once

#include <wx/defs.h>

#include "measure/shell/measure_clicks.h"

namespace vistamet {

enum CommandId : int {
  kCmdFirst = wxID_HIGHEST + 100,

  kCmdOpenText = kCmdFirst,
  // Close and exit carry no keys; the framework's own ids would bring the
  // desktop's stock keys with them.
  kCmdClose,
  kCmdExit,
  kCmdToggleToolBar,
  kCmdToggleStatusBar,
  kCmdDataList,
  kCmdPlanMap,
  kCmdModel3D,
  kCmdOptions,

  // Interaction modes of the image view, and its commands.
  kCmdEditPoint,
  kCmdClearNumber,
  kCmdClearAllNumbers,
  kCmdDeletePoint,
  kCmdAddPoint,
  kCmdRectangleCorners,
  kCmdExtract,
  kCmdSweepAll,
  kCmdSweepCurrent,
  kCmdDeleteSpacePoint,
  kCmdAdjust,
  kCmdMeasureDistance,
  kCmdPlanePoint,
  kCmdZoomIn,
  kCmdZoomOut,
  kCmdShiftOrigin,
  kCmdDistanceTest,

  kCmdGeoReckon,
  kCmdHeightFit,
  kCmdCalculator,
  kCmdPaint,

  kCmdNewWindow,
  // F6 and Shift+F6: the focus to the next or previous pane of the active
  // window. Keys only, no menu item.
  kCmdNextPane,
  kCmdPreviousPane,
  kCmdHelpTopics,

  kCmdLast = kCmdHelpTopics,

  // The thumbnail strip's context menu (handled by the strip itself).
  kCmdStripSetCurrent,
  kCmdStripDeletePhoto,
  kCmdStripAddPhoto,

  // The data list window's toolbar and context menu.
  kCmdListDistances,
  kCmdListSpacePoints,
  kCmdListImagePoints,
  kCmdListPhotos,
  kCmdListRefresh,
  kCmdListDelete,
  kCmdListRename,
  kCmdListExportCsv,

  // The 3D window's menu.
  kCmd3DLeft,
  kCmd3DRight,
  kCmd3DUp,
  kCmd3DDown,
  kCmd3DNearer,
  kCmd3DFarther,
  kCmd3DReset,

  // The plan map window's toolbars and its export command.
  kCmdMapShowDistances,
  kCmdMapPlaneDistances,
  kCmdMapShowPoints,
  kCmdMapShowFeatures,
  kCmdMapLeft,
  kCmdMapRight,
  kCmdMapUp,
  kCmdMapDown,
  kCmdMapTurn,
  kCmdMapTurnX,
  kCmdMapTitle,
  kCmdMapModeFeatures,
  kCmdMapModeSpatial,
  kCmdMapModePlane,
  kCmdMapScale,
  kCmdMapExport,
};

}  // namespace vistamet
