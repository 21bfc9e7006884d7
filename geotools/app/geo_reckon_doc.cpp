#include "geotools/app/geo_reckon_doc.h"

#include <wx/filename.h>

#include "common/gui/save_modified.h"
#include "geotools/app/app_texts.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/param_description.h"
#include "geotools/compute/texts.h"

namespace georeckon {

wxIMPLEMENT_DYNAMIC_CLASS(CGeoReckonDoc, wxDocument);

std::string DocumentFilter() {
  return std::string(app_texts::kDocDescription) + " (" + app_texts::kDocFilter + ")|" +
         app_texts::kDocFilter;
}

void CGeoReckonDoc::SelectFunction(int32_t index, const std::string& text) {
  data_.currentIndex = index;
  data_.currentText = text;
  UpdateAllViews();
}

void CGeoReckonDoc::SetParams(const EllipsoidParams& e, int32_t input_unit, int32_t output_unit) {
  const bool changed =
      !(data_.ellipsoid == e) || data_.inputUnit != input_unit || data_.outputUnit != output_unit;
  data_.ellipsoid = e;
  data_.inputUnit = input_unit;
  data_.outputUnit = output_unit;
  data_.currentText = DocumentParamDescription(e, input_unit, output_unit);
  if (changed) Modify(true);
  UpdateAllViews();
}

bool CGeoReckonDoc::OnNewDocument() {
  if (!wxDocument::OnNewDocument()) return false;
  data_ = GrkDocument();
  return true;
}

bool CGeoReckonDoc::DeleteContents() {
  data_ = GrkDocument();
  return true;
}

bool CGeoReckonDoc::DoSaveDocument(const wxString& file) {
  std::string error;
  if (!SaveGrkFile(Utf8(file), data_, &error)) {
    ShowFailure(texts::kCreateFileError, error);
    return false;
  }
  return true;
}

bool CGeoReckonDoc::DoOpenDocument(const wxString& file) {
  GrkDocument read = data_;
  const GrkReadResult result = LoadGrkFile(Utf8(file), &read);
  switch (result.status) {
    case GrkStatus::kOk:
      data_ = read;
      return true;
    case GrkStatus::kOpenFailed:
      ShowFailure(texts::kOpenFileError, result.detail);
      return false;
    case GrkStatus::kNotGrk:
      // Refused: a document opened on a foreign file would overwrite it on
      // the next save.
      ShowMessage(texts::kNotGrkFile, wxOK | wxICON_WARNING);
      return false;
    case GrkStatus::kDamaged:
      ShowFailure(texts::kDamagedGrkFile, result.detail);
      return false;
  }
  return false;
}

bool CGeoReckonDoc::OnSaveModified() {
  return common::SaveModifiedDocument(*this, [this] {
    const wxString name = GetFilename().empty() ? GetUserReadableName() : GetFilename();
    std::string prompt = app_texts::kAskToSave;
    const size_t at = prompt.find("%1");
    if (at != std::string::npos) prompt.replace(at, 2, Utf8(name));
    return ShowMessage(prompt, wxYES_NO | wxCANCEL | wxICON_WARNING);
  });
}

bool CGeoReckonDoc::SaveAs() {
  FileRequest request;
  request.save = true;
  request.title = app_texts::kSaveAsTitle;
  request.filter = DocumentFilter();
  request.default_extension = app_texts::kDocExtension;
  request.initial_path = GetFilename().empty()
                             ? Utf8(GetUserReadableName()) + "." + app_texts::kDocExtension
                             : Utf8(GetFilename());
  std::string path;
  if (!ChooseFile(nullptr, request, &path)) return false;
  const wxString file = Wx(path);
  if (!OnSaveDocument(file)) return false;
  SetTitle(wxFileName(file).GetFullName());
  SetFilename(file, true);
  if (GetDocumentManager()) GetDocumentManager()->AddFileToHistory(file);
  return true;
}

}  // namespace georeckon
