#include "common/gui/save_modified.h"

#include <wx/defs.h>
#include <wx/docview.h>

namespace common {

bool SaveModifiedDocument(wxDocument& doc, const std::function<int()>& ask) {
  if (!doc.IsModified()) return true;
  switch (ask()) {
    case wxYES:
      return doc.Save();
    case wxNO:
      doc.Modify(false);
      return true;
    default:
      return false;
  }
}

}  // namespace common
