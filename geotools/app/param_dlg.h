// CParamDlg, "相关参数": the choice of ellipsoid (four presets or a custom
// one entered as a and 1/f) and of the input and output angle units.
#pragma once

#include <cstdint>

#include "geotools/app/tool_dialog.h"

class wxChoice;

namespace georeckon {

class CParamDlg : public CToolDialog {
 public:
  CParamDlg(wxWindow* parent, const EllipsoidParams& e, int32_t input_unit, int32_t output_unit);

  // The confirmed record and units (valid after "确定").
  const EllipsoidParams& ellipsoid() const { return record_; }
  int32_t input_unit() const { return input_; }
  int32_t output_unit() const { return output_; }

 protected:
  bool Accept() override;

 private:
  void OnType(EllipsoidType type);

  EllipsoidParams record_;
  int32_t input_ = 1;
  int32_t output_ = 1;
  double a_ = 0;
  double inverse_flattening_ = 0;
  EllipsoidType type_ = kWgs84;
  wxTextCtrl* a_edit_ = nullptr;
  wxTextCtrl* f_edit_ = nullptr;
  wxChoice* input_list_ = nullptr;
  wxChoice* output_list_ = nullptr;
};

}  // namespace georeckon
