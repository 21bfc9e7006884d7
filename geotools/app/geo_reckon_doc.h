// CGeoReckonDoc: one GeoReckon document, the ellipsoid and angle units the
// functions start from and the function last selected in the list, stored
// in a .grk file. The record itself and its file live in the core
// (GrkDocument); this class ties them to the framework's documents.
#pragma once

#include <wx/docview.h>

#include <cstdint>
#include <string>

#include "geotools/compute/grk_file.h"

namespace georeckon {

class CGeoReckonDoc : public wxDocument {
 public:
  CGeoReckonDoc() = default;

  const GrkDocument& data() const { return data_; }

  // A function chosen in the list: its index and name become the current
  // index and text, and every view redraws. The document does not count as
  // changed by this.
  void SelectFunction(int32_t index, const std::string& text);

  // "&0 参数设置" confirmed: the new ellipsoid and units, the description as
  // the current text, every view redrawn. Marks the document modified when
  // anything changed, so that closing it offers to save the settings.
  void SetParams(const EllipsoidParams& e, int32_t input_unit, int32_t output_unit);

  // The framework's hooks.
  bool OnNewDocument() override;
  bool DeleteContents() override;
  bool OnSaveModified() override;
  bool SaveAs() override;

 protected:
  bool DoSaveDocument(const wxString& file) override;
  bool DoOpenDocument(const wxString& file) override;

 private:
  GrkDocument data_;

  wxDECLARE_DYNAMIC_CLASS(CGeoReckonDoc);
};

// The file chooser filter of the document type: "GeoReckon 文件 (*.grk)|*.grk".
std::string DocumentFilter();

}  // namespace georeckon
