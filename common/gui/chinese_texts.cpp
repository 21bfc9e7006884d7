#include "common/gui/chinese_texts.h"

#include <clocale>

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

  // The toolkit's own texts (message box buttons, the file dialogs) follow
  // the messages category alone.
  for (const char* name : {"zh_CN.UTF-8", "zh_CN.utf8"})
    if (std::setlocale(LC_MESSAGES, name)) break;

  auto* translations = new wxTranslations;
  translations->SetLanguage("zh_CN");
  wxLogNull quiet;  // a missing catalogue only leaves English texts
  const bool found = translations->AddStdCatalog();
  wxTranslations::Set(translations);
  return found;
}

}  // namespace common
