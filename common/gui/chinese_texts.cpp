#include "common/gui/chinese_texts.h"

#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/translation.h>

namespace common {

bool UseChineseStockTexts(const wxString& exe_path) {
  wxFileName prefix_locale(exe_path);
  prefix_locale.RemoveLastDir();
  prefix_locale.AppendDir("share");
  prefix_locale.AppendDir("locale");
  if (prefix_locale.DirExists())
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(prefix_locale.GetPath());

  auto* translations = new wxTranslations;
  translations->SetLanguage("zh_CN");
  wxLogNull quiet;  // a missing catalogue only leaves English texts
  const bool found = translations->AddStdCatalog();
  wxTranslations::Set(translations);
  return found;
}

}  // namespace common
