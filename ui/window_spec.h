// What the program says of each of its windows: titles, sizes, positions,
// fonts, colours, pictures and texts, as data a backend lays out. Sizes and
// positions are pixels in the window's client coordinates.

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace converte::ui {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Colour&) const = default;
};

struct Font {
  std::string face;
  int height = 0;  // character height in pixels, 0 for the default
  int width = 0;   // character width in pixels, 0 for the default
  bool oemCharset = true;
  bool operator==(const Font&) const = default;
};

// The program's pictures: E_OK (white tick on a green square) and E_SAIR
// (white curved arrow on a blue square), 32 x 32.
enum class Picture { None, Ok, Exit };

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

// Resources every window uses: the program icon, fonts and label colours.
struct Resources {
  std::string icon = "GARVINCONV";
  Font font{"Verdana", 17, 0, true};        // OFONTE
  Font dialogFont{"Verdana", 17, 0, true};  // OFONTEG
  Colour labelColour{0, 0, 143};            // MCORFRENTE
  bool labelBackground = false;             // MCORFUNDO: none
  Picture okPicture = Picture::Ok;          // EBTNOK
  Picture exitPicture = Picture::Exit;      // EBTNVOLTAR
};

// How every window sits on the screen: centred, with a title bar, the
// program icon and a close box; when it has been created it is brought to
// the top and given the keyboard focus, and made topmost where said. A
// backend that cannot bring it to the top reports that as a run-time error
// and goes on.
struct WindowFrame {
  bool centred = true;
  bool icon = true;
  bool closeBox = true;
  bool focusOnOpen = true;
  bool topmost = false;    // stays above every other window
  bool escCloses = false;  // Esc closes it as its close box does
  bool operator==(const WindowFrame&) const = default;
};

// Static texts are left-aligned; a label is drawn in the label colour.
struct StaticText {
  std::string name;  // control name, may be empty
  Rect bounds;
  std::string text;
  bool labelColour = false;  // drawn in Resources::labelColour
  bool wraps = false;        // long texts wrap inside the bounds
};

struct Button {
  std::string caption;  // with & before the mnemonic letter
  Rect bounds;
  Picture picture = Picture::None;
  std::string tooltip;
  bool tabStop = true;
};

struct ProgressWindowSpec {
  std::string title;
  WindowFrame frame;
  int width = 700;
  int height = 400;
  Resources resources;
  StaticText company;   // eoTextoMsgD
  StaticText progress;  // eoTextoMsga
  StaticText banner;    // eoTextoMsg
};

struct CompanyRangeDialogSpec {
  std::string title;
  WindowFrame frame;
  int width = 600;
  int height = 450;
  Resources resources;
  // One label per form field, in the form's field order; the label frame
  // lies 3 pixels left of and above its label.
  std::vector<StaticText> labels;
  std::vector<Rect> fields;
  std::vector<std::string> fieldNames;  // control names, same order
  std::vector<Rect> labelFrames;        // the etched frame around each label
  Button confirm;
  Button exit;
};

// The log viewer's grid: one read-only column, scrolled both ways, framed,
// without heading row or separator lines; the focus goes back to it after
// every key, every change of row and the print action.
struct GridStyle {
  bool verticalScrollBar = true;
  bool horizontalScrollBar = true;
  bool border = true;
  bool headingRow = false;
  bool separatorLines = false;
  bool editable = false;  // neither rows changed nor rows added
  bool keepsFocus = true;
  bool operator==(const GridStyle&) const = default;
};

struct LogViewerSpec {
  std::string title;
  WindowFrame frame;
  int width = 800;
  int height = 600;
  Resources resources;
  Button print;
  Button back;
  std::string gridName;
  Rect grid;
  Font gridFont;
  GridStyle gridStyle;
  int columnWidth = 137;  // characters
  std::string columnHeading = " ";
};

struct ErrorDialogSpec {
  std::string title;  // the error log file's name
  WindowFrame frame;
  int width = 800;
  int height = 400;
  Resources resources;
  std::vector<StaticText> texts;
  Button back;
  Button log;
};

struct TextViewerSpec {
  std::string title;
  WindowFrame frame;
  int width = 800;
  int height = 500;
  Resources resources;
  Rect editBox;  // read-only, several lines, scrolled both ways
  bool editBoxReadOnly = true;
  bool editBoxScrollBars = true;
  Font font;
  Colour text{128, 255, 255};
  Colour background{0, 0, 0};
  std::string content;  // lines separated by CR LF
  Button back;
};

}  // namespace converte::ui
