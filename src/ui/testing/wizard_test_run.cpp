#include "ui/testing/wizard_test_run.h"

#include <chrono>
#include <fstream>
#include <sstream>

#include "base/errors.h"

namespace nolu::ui {
namespace {

void PutBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  out += type;
  out += data;
  PutBigEndian(out, 0);  // the fake decoder does not check the CRC
}

std::string SampleFile(const char* name) {
  std::ifstream in(std::string(NOLU_SAMPLE_SETUP_DIR) + "/" + name, std::ios::binary);
  if (!in) throw EInvalidOperation(u"the sample's setup data is not readable");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::string TestPng(int width, int height, int dpi) {
  std::string png = "\x89PNG\r\n\x1A\n";
  std::string header;
  PutBigEndian(header, static_cast<uint32_t>(width));
  PutBigEndian(header, static_cast<uint32_t>(height));
  header += std::string("\x08\x06\x00\x00\x00", 5);
  PutChunk(png, "IHDR", header);
  if (dpi != 96) {
    std::string phys;
    const auto per_metre = static_cast<uint32_t>(dpi / 0.0254 + 0.5);
    PutBigEndian(phys, per_metre);
    PutBigEndian(phys, per_metre);
    phys.push_back('\x01');
    PutChunk(png, "pHYs", phys);
  }
  PutChunk(png, "IEND", "");
  return png;
}

TWizardTestRun::TWizardTestRun() {
  TFakeSetupData& data = run_.Data();
  data.SetSetupFile(u"English.lng", SampleFile("English.lng"));
  data.SetSetupFile(u"header.png", TestPng(1280, 106, 192));
  data.SetSetupFile(u"header_dark.png", TestPng(1280, 106, 192));
  data.SetSetupFile(u"wizard_light.png", TestPng(376, 870, 192));
  data.SetSetupFile(u"wizard_dark.png", TestPng(376, 870, 192));
  application_ = std::make_unique<TRuxApplication>(backend_);
  RegisterStandardPages(classes_);
}

TSetup& TWizardTestRun::Create(StringView params) {
  TSetup& setup = run_.Create(params);
  palette_.UpdatePalette(backend_.DarkMode(), backend_.HighContrast(), backend_.SystemColors());
  application_->SetTheme(palette_.Controls);
  return setup;
}

std::unique_ptr<TWizardForm> TWizardTestRun::CreateWizard() {
  return std::make_unique<TWizardForm>(
      *application_, palette_, classes_, [this](TRuxForm&, StringView text, StringView, uint32_t) {
        Questions.push_back(String(text));
        if (Answers.empty()) throw EInvalidOperation(u"the test did not expect a question");
        const int answer = Answers.front();
        Answers.pop_front();
        return answer;
      });
}

void TWizardTestRun::WaitUntil(const std::function<bool()>& done) {
  auto never = Platform().Messages().NewEvent();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      throw EInvalidOperation(u"the awaited state did not come within 60 s");
    }
    Platform().Messages().WaitDispatching(*never, 10);
  }
}

}  // namespace nolu::ui
