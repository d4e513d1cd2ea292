// The windows' data as tables: one row per control, texts as the program
// shows them.

#include "ui/windows.h"

#include <array>
#include <string_view>
#include <utility>

namespace converte::ui {
namespace {

// Progress window: three wrapping lines of 500 x 100, all empty at first.
constexpr std::string_view kProgressTitle = "Aguarde em processamento..";
constexpr int kProgressWidth = 700;
struct ProgressRow {
  std::string_view name;
  int x;
  int y;
};
constexpr ProgressRow kCompanyLine{"eoTextoMsgD", 150, 40};
constexpr ProgressRow kProgressLine{"eoTextoMsga", 10, 150};
constexpr ProgressRow kBannerLine{"eoTextoMsg", 400, 310};
constexpr int kProgressTextWidth = 500;
constexpr int kProgressTextHeight = 100;

// Company-range dialog: five rows of label, etched frame and edit field.
struct RangeRow {
  int labelY;
  int fieldY;
  std::string_view label;
  std::string_view fieldName;
  int fieldWidth;
};
constexpr std::array<RangeRow, 5> kRangeRows{{
    {25, 22, "Reindexa:", "evReindeixa", 43},
    {65, 62, "Diretório:", "exDir", 253},
    {105, 102, "Empresa Inicial:", "evEmpIni", 43},
    {165, 162, "Empresa Final:", "evEmpFim", 43},
    {225, 222, "Checa Campos Duplicados:", "evChecaBD", 43},
}};
constexpr int kRangeWidth = 600;
constexpr int kRangeHeight = 450;
constexpr int kLabelX = 86;
constexpr int kLabelWidth = 211;
constexpr int kLabelHeight = 18;
constexpr int kFrameOffset = 3;
constexpr int kFrameWidth = 218;
constexpr int kFrameHeight = 23;
constexpr int kFieldX = 317;
constexpr int kFieldHeight = 20;
constexpr Rect kConfirmBounds{72, 305, 150, 45};
constexpr Rect kExitBounds{317, 305, 150, 45};
constexpr std::string_view kConfirmCaption = "&Confirma";
constexpr std::string_view kConfirmTooltip = "Confirma as informações";
constexpr std::string_view kExitCaption = "&Sair";
constexpr std::string_view kExitTooltip = "Sair do Converte";

// Log viewer: two buttons above the grid, placed from the grid's width.
constexpr std::string_view kViewerTitle = "Visualização do Relatório";
constexpr std::string_view kPrintCaption = "&Imprime";
constexpr std::string_view kBackCaption = "&Voltar";
constexpr std::string_view kViewerBackTooltip = "Volta para a tela anterior";
constexpr int kViewerButtonY = 0;
constexpr int kViewerButtonWidth = 85;
constexpr int kViewerButtonHeight = 28;
constexpr int kPrintFromRight = 190;
constexpr int kBackFromRight = 90;
constexpr std::string_view kGridName = "oBrowfPesq";
constexpr int kGridX = 2;
constexpr int kGridY = 35;
constexpr int kGridHeightLess = 20;
constexpr int kGridFontWidth = 9;
constexpr std::string_view kFixedFace = "Courier New";

// Error dialog: three labels and two buttons.
struct DialogText {
  Rect bounds;
  std::string_view text;
};
constexpr std::array<DialogText, 3> kErrorTexts{{
    {{72, 65, 421, 18}, "Foi encontrado uma Situação Atípica no Sistema"},
    {{72, 105, 351, 18}, "Tente novamente."},
    {{72, 145, 351, 18}, "Ou entre em contado com o Suporte."},
}};
constexpr Rect kErrorBackBounds{300, 320, 150, 45};
constexpr Rect kErrorLogBounds{650, 320, 150, 45};
constexpr std::string_view kLogCaption = "&Log";

// Text viewer: a read-only edit box over a back button.
constexpr Rect kEditBox{10, 10, 780, 410};
constexpr int kViewerFontHeight = 20;
constexpr Rect kTextViewerBackBounds{300, 420, 150, 45};

StaticText progressText(const ProgressRow& row) {
  StaticText text;
  text.name = std::string(row.name);
  text.bounds = {row.x, row.y, kProgressTextWidth, kProgressTextHeight};
  text.wraps = true;
  return text;
}

Button button(std::string_view caption, Rect bounds, Picture picture, std::string_view tooltip = {}) {
  Button b;
  b.caption = std::string(caption);
  b.bounds = bounds;
  b.picture = picture;
  b.tooltip = std::string(tooltip);
  return b;
}

}  // namespace

ProgressWindowSpec progressWindowSpec(const Resources& resources, int height) {
  ProgressWindowSpec spec;
  spec.title = std::string(kProgressTitle);
  spec.width = kProgressWidth;
  spec.height = height;
  spec.resources = resources;
  spec.company = progressText(kCompanyLine);
  spec.progress = progressText(kProgressLine);
  spec.banner = progressText(kBannerLine);
  return spec;
}

CompanyRangeDialogSpec companyRangeDialogSpec(const Resources& resources, std::string title) {
  CompanyRangeDialogSpec spec;
  spec.title = std::move(title);
  spec.frame.escCloses = true;
  spec.width = kRangeWidth;
  spec.height = kRangeHeight;
  spec.resources = resources;
  for (const auto& row : kRangeRows) {
    StaticText label;
    label.bounds = {kLabelX, row.labelY, kLabelWidth, kLabelHeight};
    label.text = std::string(row.label);
    label.labelColour = true;
    spec.labels.push_back(std::move(label));
    spec.labelFrames.push_back(
        {kLabelX - kFrameOffset, row.labelY - kFrameOffset, kFrameWidth, kFrameHeight});
    spec.fields.push_back({kFieldX, row.fieldY, row.fieldWidth, kFieldHeight});
    spec.fieldNames.emplace_back(row.fieldName);
  }
  spec.confirm = button(kConfirmCaption, kConfirmBounds, resources.okPicture, kConfirmTooltip);
  spec.exit = button(kExitCaption, kExitBounds, resources.exitPicture, kExitTooltip);
  return spec;
}

LogViewerSpec logViewerSpec(const Resources& resources, const LogViewerGeometry& geometry) {
  LogViewerSpec spec;
  spec.title = std::string(kViewerTitle);
  spec.width = geometry.width;
  spec.height = geometry.height;
  spec.resources = resources;
  spec.print = button(kPrintCaption,
                      {geometry.gridWidth - kPrintFromRight, kViewerButtonY, kViewerButtonWidth,
                       kViewerButtonHeight},
                      Picture::None);
  spec.back = button(kBackCaption,
                     {geometry.gridWidth - kBackFromRight, kViewerButtonY, kViewerButtonWidth,
                      kViewerButtonHeight},
                     Picture::None, kViewerBackTooltip);
  spec.gridName = std::string(kGridName);
  spec.grid = {kGridX, kGridY, geometry.gridWidth, geometry.gridHeight - kGridHeightLess};
  spec.gridFont = Font{std::string(kFixedFace), 0, kGridFontWidth, true};
  spec.frame.topmost = true;
  spec.frame.escCloses = true;
  return spec;
}

ErrorDialogSpec errorDialogSpec(const Resources& resources, std::string title) {
  ErrorDialogSpec spec;
  spec.title = std::move(title);
  spec.frame.escCloses = true;
  spec.resources = resources;
  for (const auto& row : kErrorTexts) {
    StaticText text;
    text.bounds = row.bounds;
    text.text = std::string(row.text);
    text.labelColour = true;
    spec.texts.push_back(std::move(text));
  }
  spec.back = button(kBackCaption, kErrorBackBounds, resources.exitPicture);
  spec.log = button(kLogCaption, kErrorLogBounds, Picture::None);
  return spec;
}

TextViewerSpec textViewerSpec(const Resources& resources, std::string title, std::string content) {
  TextViewerSpec spec;
  spec.title = std::move(title);
  spec.resources = resources;
  spec.editBox = kEditBox;
  spec.font = Font{std::string(kFixedFace), kViewerFontHeight, 0, true};
  spec.content = std::move(content);
  spec.back = button(kBackCaption, kTextViewerBackBounds, resources.exitPicture);
  return spec;
}

}  // namespace converte::ui
