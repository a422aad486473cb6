// The PDF job on a copy of the demo project: pages in project order, the
// project's titles, skipped sheets, cancel, and the output name rules.
#include "app/pdf_job.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/cli/doc_input.h"
#include "app/project.h"
#include "core/pdf/pdf.h"
#include "core/platform/clock.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;

class PdfJob : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(std::string(TAVRO_SOURCE_DIR) + "/examples/demo", tmp_.path(),
             fs::copy_options::recursive);
    SetFixedNow(1767225600);  // 2026-01-01 09:00 in Japan
  }
  void TearDown() override { SetFixedNow(-1); }

  PdfResult Run(const PdfOptions& o, Host* host = nullptr) {
    const std::string in[] = {project()};
    return RunPdf(in, o, host, cli::ReadInputDocument);
  }
  std::string project() const { return tmp_.file("demo.tpj"); }

  TempDir tmp_;
};

// The number of page objects of a PDF.
int Pages(const std::string& pdf) {
  int n = 0;
  for (size_t at = pdf.find("/Type /Page\n"); at != std::string::npos;
       at = pdf.find("/Type /Page\n", at + 1))
    ++n;
  return n;
}

TEST_F(PdfJob, WritesEverySheetOfTheProjectWithTheProjectsTitles) {
  ASSERT_TRUE(ProjectFile::SetProperties(project(), {{"PDFTITLE", "abc"}, {"PDFSUBTITLE", "x"}}));
  const PdfResult r = Run(PdfOptions());
  ASSERT_EQ(r.status, PdfResult::kOk) << r.message;
  EXPECT_TRUE(r.warnings.empty()) << r.warnings[0];
  EXPECT_EQ(r.outputPath, tmp_.file("demo.pdf"));
  EXPECT_EQ(r.pages, 2);
  const std::string pdf = ReadAll(r.outputPath);
  EXPECT_EQ(pdf, r.bytes);
  EXPECT_EQ(pdf.substr(0, 10), "%PDF-1.2 \n");
  EXPECT_EQ(Pages(pdf), 2);
  EXPECT_NE(pdf.find("/Title <FEFF006100620063>\n"), std::string::npos);
  EXPECT_NE(pdf.find("/Subject <FEFF0078>\n"), std::string::npos);
  EXPECT_NE(pdf.find("/CreationDate (D:20260101090000)\n"), std::string::npos);
  EXPECT_NE(pdf.find("/MediaBox [0 0 1191 842 ]\n"), std::string::npos);  // A3 landscape
}

TEST_F(PdfJob, GivenTitlesWinAndAreStoredOnlyWhenAsked) {
  PdfOptions o;
  o.title = "T1";
  o.subtitle = "S1";
  o.writeFile = false;
  PdfResult r = Run(o);
  ASSERT_EQ(r.status, PdfResult::kOk) << r.message;
  EXPECT_NE(r.bytes.find("/Title <FEFF00540031>\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(r.outputPath));
  EXPECT_EQ(ProjectFile::GetProperty(project(), "PDFTITLE"), "");

  o.storeTitles = true;
  o.writeFile = true;
  r = Run(o);
  ASSERT_EQ(r.status, PdfResult::kOk) << r.message;
  EXPECT_EQ(ProjectFile::GetProperty(project(), "PDFTITLE"), "T1");
  EXPECT_EQ(ProjectFile::GetProperty(project(), "PDFSUBTITLE"), "S1");
}

TEST_F(PdfJob, SkipsASheetThatCannotBeReadAndNamesIt) {
  fs::remove(tmp_.file("amp2.tcd"));
  const PdfResult r = Run(PdfOptions());
  ASSERT_EQ(r.status, PdfResult::kOk) << r.message;
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_NE(r.warnings[0].find("amp2.tcd"), std::string::npos) << r.warnings[0];
  EXPECT_EQ(r.pages, 1);
  EXPECT_EQ(Pages(ReadAll(r.outputPath)), 1);

  // With no sheet at all nothing is written.
  fs::remove(tmp_.file("amp1.tcd"));
  const PdfResult none = Run(PdfOptions());
  EXPECT_EQ(none.status, PdfResult::kFailed);
  EXPECT_FALSE(fs::exists(tmp_.file("demo.pdf.tmp")));
}

TEST_F(PdfJob, CancelKeepsThePreviousFile) {
  test::WriteAll(tmp_.file("demo.pdf"), "old");
  for (int at : {0, 1}) {
    test::RecordingHost cancel;
    cancel.cancelAtStep = at;
    EXPECT_EQ(Run(PdfOptions(), &cancel).status, PdfResult::kCancelled) << at;
    EXPECT_EQ(ReadAll(tmp_.file("demo.pdf")), "old") << at;
  }
  test::RecordingHost host;
  ASSERT_EQ(Run(PdfOptions(), &host).status, PdfResult::kOk);
  ASSERT_FALSE(host.stages.empty());
  EXPECT_EQ(host.stages.back().stage, kStagePdf);
  EXPECT_EQ(host.stages.back().total, 2);
}

TEST_F(PdfJob, OutputNames) {
  EXPECT_EQ(WithPdfExtension("out"), "out.pdf");
  EXPECT_EQ(WithPdfExtension("OUT.PDF"), "OUT.PDF");
  EXPECT_EQ(WithPdfExtension("a.pdf.bak"), "a.pdf.bak.pdf");

  PdfOptions o;
  o.outputPath = tmp_.file("sheets");
  const PdfResult r = Run(o);
  ASSERT_EQ(r.status, PdfResult::kOk) << r.message;
  EXPECT_EQ(r.outputPath, tmp_.file("sheets.pdf"));
  EXPECT_TRUE(fs::exists(r.outputPath));

  // A sheet's own name as the output gets ".pdf" and leaves the sheet alone.
  const std::string before = ReadAll(tmp_.file("amp1.tcd"));
  o.outputPath = tmp_.file("amp1.tcd");
  const PdfResult beside = Run(o);
  ASSERT_EQ(beside.status, PdfResult::kOk) << beside.message;
  EXPECT_EQ(beside.outputPath, tmp_.file("amp1.tcd.pdf"));
  EXPECT_EQ(ReadAll(tmp_.file("amp1.tcd")), before);
}

TEST(PdfOptionsTest, ComeFromSectionPdfAndGoBack) {
  Settings s;
  PdfOptions d = PdfOptions::FromSettings(s);
  EXPECT_EQ(d.topMargin, 15);
  EXPECT_EQ(d.leftMargin, 15);
  EXPECT_EQ(d.scale, 1.0);
  EXPECT_TRUE(d.titleInclude);
  EXPECT_FALSE(d.color);
  d.scale = 0.8;
  d.color = true;
  d.Store(s);
  EXPECT_EQ(s.GetString("PDF", "Scale"), "0.80");
  EXPECT_EQ(s.GetInt("PDF", "Color"), 1);
  EXPECT_EQ(PdfOptions::FromSettings(s).scale, 0.8);
}

}  // namespace
}  // namespace tavro
