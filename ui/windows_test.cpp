// The windows' data: the derived geometry (label frames, viewer buttons and
// grid from the grid area) and the texts every backend shows.

#include "ui/windows.h"

#include <gtest/gtest.h>

namespace converte::ui {
namespace {

TEST(Windows, CompanyRangeRowsLabelsFramesAndButtons) {
  auto spec = companyRangeDialogSpec(Resources{}, "GARVIN Converte Versão:195");
  ASSERT_EQ(spec.labels.size(), 5u);
  ASSERT_EQ(spec.fields.size(), 5u);
  ASSERT_EQ(spec.labelFrames.size(), 5u);
  EXPECT_EQ(spec.labels[3].text, "Empresa Final:");
  EXPECT_EQ(spec.labels[3].bounds, (Rect{86, 165, 211, 18}));
  EXPECT_EQ(spec.labelFrames[3], (Rect{83, 162, 218, 23}));
  EXPECT_EQ(spec.fields[1], (Rect{317, 62, 253, 20}));
  EXPECT_EQ(spec.fieldNames,
            (std::vector<std::string>{"evReindeixa", "exDir", "evEmpIni", "evEmpFim", "evChecaBD"}));
  EXPECT_EQ(spec.confirm.tooltip, "Confirma as informações");
  EXPECT_EQ(spec.confirm.picture, Picture::Ok);
  EXPECT_EQ(spec.exit.bounds, (Rect{317, 305, 150, 45}));
  EXPECT_EQ(spec.exit.picture, Picture::Exit);
  EXPECT_EQ(spec.title, "GARVIN Converte Versão:195");
  EXPECT_TRUE(spec.frame.escCloses);
}

TEST(Windows, LogViewerPlacesButtonsAndGridFromTheGridArea) {
  auto spec = logViewerSpec(Resources{}, {800, 600, 790, 570});
  EXPECT_EQ(spec.print.bounds, (Rect{600, 0, 85, 28}));
  EXPECT_EQ(spec.back.bounds, (Rect{700, 0, 85, 28}));
  EXPECT_EQ(spec.back.tooltip, "Volta para a tela anterior");
  EXPECT_EQ(spec.print.tooltip, "");
  EXPECT_EQ(spec.grid, (Rect{2, 35, 790, 550}));
  EXPECT_EQ(spec.gridFont, (Font{"Courier New", 0, 9, true}));
  EXPECT_EQ(spec.title, "Visualização do Relatório");
  EXPECT_EQ(spec.frame, (WindowFrame{true, true, true, true, true, true}));
  EXPECT_EQ(spec.gridStyle, (GridStyle{true, true, true, false, false, false, true}));
  auto wider = logViewerSpec(Resources{}, {1000, 700, 990, 670});
  EXPECT_EQ(wider.print.bounds.x, 800);
  EXPECT_EQ(wider.grid.height, 650);
}

TEST(Windows, ProgressErrorAndTextViewer) {
  auto progress = progressWindowSpec(Resources{}, 300);
  EXPECT_EQ(progress.title, "Aguarde em processamento..");
  EXPECT_EQ(progress.height, 300);
  EXPECT_EQ(progress.banner.bounds, (Rect{400, 310, 500, 100}));
  EXPECT_EQ(progress.progress.name, "eoTextoMsga");

  EXPECT_EQ(progress.frame, (WindowFrame{true, true, true, true, false, false}));

  auto error = errorDialogSpec(Resources{}, "LOGSITUACAO__120924_143005.log");
  EXPECT_EQ(error.frame, (WindowFrame{true, true, true, true, false, true}));
  ASSERT_EQ(error.texts.size(), 3u);
  EXPECT_EQ(error.texts[0].text, "Foi encontrado uma Situação Atípica no Sistema");
  EXPECT_EQ(error.texts[0].bounds, (Rect{72, 65, 421, 18}));
  EXPECT_EQ(error.log.caption, "&Log");
  EXPECT_EQ(error.log.picture, Picture::None);
  EXPECT_EQ(error.back.picture, Picture::Exit);

  auto viewer = textViewerSpec(Resources{}, "t", "a\r\nb");
  EXPECT_EQ(viewer.editBox, (Rect{10, 10, 780, 410}));
  EXPECT_EQ(viewer.font, (Font{"Courier New", 20, 0, true}));
  EXPECT_EQ(viewer.back.bounds, (Rect{300, 420, 150, 45}));
  EXPECT_EQ(viewer.content, "a\r\nb");
}

}  // namespace
}  // namespace converte::ui
