#include "geotools/app/menus.h"

#include <wx/menu.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/icons.h"
#include "geotools/app/ui_services.h"

namespace georeckon {

namespace t = app_texts;

namespace {

void Item(wxMenu* menu, int id, const char* label, const char* help) {
  menu->Append(id, Wx(label), Wx(help));
}

wxMenu* ViewMenu() {
  auto* menu = new wxMenu;
  menu->AppendCheckItem(ID_VIEW_TOOLBAR, Wx(t::kViewToolbar), Wx(t::kHelpToolbar));
  menu->AppendCheckItem(ID_VIEW_STATUS_BAR, Wx(t::kViewStatusBar), Wx(t::kHelpStatusBar));
  return menu;
}

wxMenu* HelpMenu() {
  auto* menu = new wxMenu;
  Item(menu, wxID_ABOUT, t::kHelpAbout, t::kHelpAbout2);
  return menu;
}

}  // namespace

wxMenuBar* CreateStartMenuBar() {
  auto* file = new wxMenu;
  Item(file, wxID_NEW, t::kFileNew, t::kHelpNew);
  Item(file, wxID_OPEN, t::kFileOpen, t::kHelpOpen);
  file->AppendSeparator();
  Item(file, wxID_PRINT_SETUP, t::kFilePrintSetup, t::kHelpPrintSetup);
  file->AppendSeparator();
  Item(file, ID_APP_EXIT, t::kFileExit, t::kHelpExit);

  auto* bar = new wxMenuBar;
  bar->Append(file, Wx(t::kMenuFile));
  bar->Append(ViewMenu(), Wx(t::kMenuView));
  bar->Append(HelpMenu(), Wx(t::kMenuHelp));
  return bar;
}

wxMenuBar* CreateDocumentMenuBar() {
  auto* file = new wxMenu;
  Item(file, wxID_NEW, t::kFileNew, t::kHelpNew);
  Item(file, wxID_OPEN, t::kFileOpen, t::kHelpOpen);
  Item(file, ID_FILE_CLOSE, t::kFileClose, t::kHelpClose);
  Item(file, wxID_SAVE, t::kFileSave, t::kHelpSave);
  Item(file, wxID_SAVEAS, t::kFileSaveAs, t::kHelpSaveAs);
  file->AppendSeparator();
  Item(file, wxID_PRINT, t::kFilePrint, t::kHelpPrint);
  Item(file, wxID_PREVIEW, t::kFilePreview, t::kHelpPreview);
  Item(file, wxID_PRINT_SETUP, t::kFilePrintSetup, t::kHelpPrintSetup);
  file->AppendSeparator();
  Item(file, ID_APP_EXIT, t::kFileExit, t::kHelpExit);

  auto* edit = new wxMenu;
  Item(edit, ID_EDIT_UNDO, t::kEditUndo, t::kHelpEditDisabled);
  edit->AppendSeparator();
  Item(edit, ID_EDIT_CUT, t::kEditCut, t::kHelpEditDisabled);
  Item(edit, ID_EDIT_COPY, t::kEditCopy, t::kHelpEditDisabled);
  Item(edit, ID_EDIT_PASTE, t::kEditPaste, t::kHelpEditDisabled);

  auto* functions = new wxMenu;
  for (ToolFunction f : kToolFunctions) {
    const int index = MenuIndex(f);
    auto* item = new wxMenuItem(functions, FunctionCommand(f), Wx(t::kFunctionMenuItems[index]),
                                Wx(t::kFunctionHelp[index]));
    item->SetBitmap(FunctionIcon(f, 16));
    functions->Append(item);
    // Groups: parameters; space coordinates; geodetic and plane problems;
    // Gauss projection; seven parameters; four parameters.
    switch (f) {
      case ToolFunction::kParams:
      case ToolFunction::kBlhXyz:
      case ToolFunction::kPlaneCoordinates:
      case ToolFunction::kZoneChange:
      case ToolFunction::kSevenApply:
        functions->AppendSeparator();
        break;
      default:
        break;
    }
  }

  auto* window = new wxMenu;
  Item(window, ID_WINDOW_NEW, t::kWindowNew, t::kHelpWindowNew);
  Item(window, ID_WINDOW_CASCADE, t::kWindowCascade, t::kHelpCascade);
  Item(window, ID_WINDOW_TILE, t::kWindowTile, t::kHelpTile);
  Item(window, ID_WINDOW_ARRANGE, t::kWindowArrange, t::kHelpArrange);
  Item(window, ID_WINDOW_SPLIT, t::kWindowSplit, t::kHelpSplit);

  auto* bar = new wxMenuBar;
  bar->Append(file, Wx(t::kMenuFile));
  bar->Append(edit, Wx(t::kMenuEdit));
  bar->Append(functions, Wx(t::kMenuCoordinates));
  bar->Append(ViewMenu(), Wx(t::kMenuView));
  bar->Append(window, Wx(t::kMenuWindow));
  bar->Append(HelpMenu(), Wx(t::kMenuHelp));
  return bar;
}

wxMenu* FileMenuOf(wxMenuBar* bar) { return bar ? bar->GetMenu(0) : nullptr; }

}  // namespace georeckon
