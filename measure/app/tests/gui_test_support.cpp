#include "tests/gui_test_support.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <wx/msgdlg.h>
#include <wx/uiaction.h>

#include "common/atomic_file.h"
#include "measure/model/bitmap.h"
#include "measure/model/project_file.h"

namespace vistamet::test {

CVistametApp& App() { return *static_cast<CVistametApp*>(wxApp::GetInstance()); }
CMainFrame& Frame() { return *App().MainFrame(); }
CDocManager& Manager() { return *App().DocManager(); }

void SendCommand(int id) {
  wxCommandEvent event(wxEVT_MENU, id);
  event.SetEventObject(&Frame());
  Frame().ProcessWindowEvent(event);
}

UiState QueryUi(int id) {
  wxUpdateUIEvent event(id);
  event.SetEventObject(&Frame());
  Frame().ProcessWindowEvent(event);
  UiState s;
  s.enabled = event.GetSetEnabled() ? event.GetEnabled() : true;
  s.checked = event.GetSetChecked() && event.GetChecked();
  if (event.GetSetText()) s.text = event.GetText();
  return s;
}

void Pump() {
  for (int i = 0; i < 4; ++i) {
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
    wxYield();
  }
}

wxPoint MovePointerTo(const std::function<wxPoint()>& spot) {
  wxUIActionSimulator sim;
  wxPoint target = spot();
  for (int attempt = 0; attempt < 10; ++attempt) {
    target = spot();
    sim.MouseMove(target);
    PumpUntil([&target] { return wxGetMousePosition() == target; });
    for (int i = 0; i < 5; ++i) Pump();
    if (spot() == target && wxGetMousePosition() == target) break;
  }
  return target;
}

bool WaitForWork(const CProjectDocument* doc, int ms) {
  const bool ended = PumpUntil([doc] { return !doc->WorkRunning(); }, ms);
  Pump();
  return ended;
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void CloseAllDocuments() {
  for (wxDocument* doc : Manager().GetDocumentsVector()) doc->Modify(false);
  Manager().CloseDocuments(true);
  Pump();
}

ScriptedDialogs& ScriptedDialogs::ThenMessage(int id) {
  return Then([id](wxDialog*) { return id; });
}

int ScriptedDialogs::Enter(wxDialog* dialog) {
  if (auto* box = dynamic_cast<wxMessageDialog*>(dialog))
    messages_.push_back(box->GetMessage().ToStdString(wxConvUTF8));
  if (answers_.empty()) {
    ++unexpected_;
    return wxID_CANCEL;
  }
  Answer answer = std::move(answers_.front());
  answers_.pop_front();
  return answer(dialog);
}

TempDir::TempDir() {
  char pattern[] = "/tmp/vistamet-gui-test-XXXXXX";
  const char* made = ::mkdtemp(pattern);
  path_ = made ? made : "/tmp";
}

TempDir::~TempDir() {
  std::error_code ec;
  if (path_ != "/tmp") std::filesystem::remove_all(path_, ec);
}

std::string WritePhoto(const std::string& path, int width, int height) {
  std::vector<uint8_t> bgr(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &bgr[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = static_cast<uint8_t>(40 + (x * 3) % 160);
      p[1] = static_cast<uint8_t>(60 + (y * 5) % 150);
      p[2] = static_cast<uint8_t>(((x / 8 + y / 8) % 2) ? 200 : 90);
    }
  common::SaveFileAtomically(path, EncodeBitmap24(width, height, bgr.data()));
  return path;
}

std::string WriteProject(const TempDir& dir, const std::string& name, const ProjectLayout& layout) {
  std::vector<std::string> photos;
  for (int i = 0; i < layout.photos; ++i)
    photos.push_back(WritePhoto(dir.File(name + "_photo" + std::to_string(i + 1) + ".bmp")));
  CVistametDoc doc;
  doc.InitNewProject(photos);
  // Two numbered points seen on both photos and one unnumbered point.
  for (int photo = 0; photo < layout.photos; ++photo) {
    doc.currentPhoto = photo;
    doc.AddImagePoint(10 + photo, 12);
    doc.imagePoints.back().pointNumber = 1;
    doc.AddImagePoint(40 + photo, 30);
    doc.imagePoints.back().pointNumber = 2;
    doc.AddImagePoint(70, 50);
  }
  doc.currentPhoto = 0;
  for (int32_t n : {1, 2}) {
    SpacePoint s;
    s.pointNumber = n;
    s.X = 100.0 * n;
    s.Y = 50;
    s.Z = 10;
    s.rayCount = 2;
    doc.StoreSpacePoint(s);
  }
  doc.distancePairs = {1, 2};
  doc.adjusted = layout.adjusted;
  doc.planeSet = layout.planeSet;
  doc.planePoint = layout.planeSet ? 2 : kNoNumber;
  doc.listWindowOn = layout.listWindowOn;
  doc.targetsExtracted = layout.targetsExtracted;
  const std::string path = dir.File(name);
  SaveProjectFile(doc, path);
  return path;
}

CProjectDocument* Open(const std::string& path) {
  wxDocument* doc = App().OpenProject(wxString::FromUTF8(path));
  Pump();
  return dynamic_cast<CProjectDocument*>(doc);
}

std::string ReadFile(const std::string& path) {
  std::string bytes;
  common::ReadWholeFile(path, &bytes);
  return bytes;
}

}  // namespace vistamet::test
