// Text files in their own windows. The document keeps the file's bytes: a
// text that was not edited is saved back byte for byte; an edited one in the
// file's encoding (UTF-8 or code page 936) and line ends.
#pragma once

#include <string>

#include <wx/docview.h>

#include "measure/shell/text_file_codec.h"

namespace vistamet {

class CEditView;

class CEditDoc : public wxDocument {
 public:
  bool DoOpenDocument(const wxString& file) override;
  bool DoSaveDocument(const wxString& file) override;
  bool OnSaveModified() override;
  bool IsModified() const override;
  void Modify(bool modified) override;

  const DecodedText& Decoded() const { return decoded_; }
  CEditView* View() const;

 private:
  std::string bytes_;     // the file as read or last saved
  DecodedText decoded_;

  wxDECLARE_DYNAMIC_CLASS(CEditDoc);
};

}  // namespace vistamet
