// A Ui for tests: records every window the core asks for (message boxes,
// progress-window titles and lines, error dialogs, viewers) and answers the
// modal ones from settings the test chose beforehand. Nothing is drawn.

#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/ui.h"
#include "ui/window_spec.h"

namespace converte::testing {

class RecordingUi : public ui::Ui {
 public:
  struct MessageBox {
    std::string title;
    std::string text;
    bool operator==(const MessageBox&) const = default;
  };
  struct LineChange {
    ui::ProgressLine line;
    std::string text;
    bool operator==(const LineChange&) const = default;
  };
  // What happened to the progress windows, shared with the windows so that
  // it outlives them.
  struct ProgressRecord {
    std::vector<ui::ProgressWindowSpec> opened;
    std::vector<std::string> titles;  // every setTitle, in order
    std::vector<LineChange> lines;    // every setLine, in order
    int closed = 0;

    // The last text put on a line (empty when none).
    std::string last(ui::ProgressLine line) const {
      for (auto it = lines.rbegin(); it != lines.rend(); ++it)
        if (it->line == line) return it->text;
      return {};
    }
    // Every text put on a line, in order.
    std::vector<std::string> all(ui::ProgressLine line) const {
      std::vector<std::string> texts;
      for (const LineChange& change : lines)
        if (change.line == line) texts.push_back(change.text);
      return texts;
    }
  };

  // Answers and actions of the modal windows.
  bool companyRangeAnswer = true;
  std::function<bool(const ui::CompanyRangeDialogSpec&, ui::CompanyRangeForm&)> onCompanyRange;
  bool pressLogInErrorDialog = false;  // the error dialog's Log button, once
  bool pressPrintInLogViewer = false;  // the viewer's Imprime button, once
  bool failProgressWindow = false;     // openProgressWindow throws
  std::function<void(const MessageBox&)> onMessageBox;  // may throw to simulate a failure

  // What was shown.
  std::vector<MessageBox> messageBoxes;
  std::vector<ui::CompanyRangeDialogSpec> companyRangeDialogs;
  std::vector<ui::LogViewerSpec> logViewers;
  std::vector<std::vector<std::string>> logViewerRows;  // the rows of each viewer
  std::vector<ui::ErrorDialogSpec> errorDialogs;
  std::vector<ui::TextViewerSpec> textViewers;
  int pumps = 0;
  std::shared_ptr<ProgressRecord> progress = std::make_shared<ProgressRecord>();

  std::string name() const override { return "recording"; }

  std::unique_ptr<ui::ProgressWindow> openProgressWindow(const ui::ProgressWindowSpec& spec) override {
    if (failProgressWindow) throw std::runtime_error("progress window refused");
    progress->opened.push_back(spec);
    return std::make_unique<Window>(progress);
  }

  void messageBox(std::string_view title, std::string_view text) override {
    MessageBox box{std::string(title), std::string(text)};
    messageBoxes.push_back(box);
    if (onMessageBox) onMessageBox(box);
  }

  bool runCompanyRangeDialog(const ui::CompanyRangeDialogSpec& spec,
                             ui::CompanyRangeForm& form) override {
    companyRangeDialogs.push_back(spec);
    if (onCompanyRange) return onCompanyRange(spec, form);
    return companyRangeAnswer;
  }

  void showLogViewer(const ui::LogViewerSpec& spec, ui::GridSource& rows,
                     const std::function<void()>& print) override {
    logViewers.push_back(spec);
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < rows.rowCount(); ++i) shown.push_back(rows.row(i));
    logViewerRows.push_back(std::move(shown));
    if (pressPrintInLogViewer && print) print();
  }

  void showErrorDialog(const ui::ErrorDialogSpec& spec, const std::function<void()>& openLog) override {
    errorDialogs.push_back(spec);
    if (pressLogInErrorDialog && openLog) openLog();
  }

  void showTextViewer(const ui::TextViewerSpec& spec) override { textViewers.push_back(spec); }

  void pumpOnce() override { ++pumps; }

  // The texts of the message boxes, in order.
  std::vector<std::string> boxTexts() const {
    std::vector<std::string> texts;
    for (const MessageBox& box : messageBoxes) texts.push_back(box.text);
    return texts;
  }

 private:
  class Window : public ui::ProgressWindow {
   public:
    explicit Window(std::shared_ptr<ProgressRecord> record) : record_(std::move(record)) {}
    void setTitle(std::string_view title) override { record_->titles.emplace_back(title); }
    void setLine(ui::ProgressLine line, std::string_view text) override {
      record_->lines.push_back({line, std::string(text)});
    }
    void close() override { ++record_->closed; }

   private:
    std::shared_ptr<ProgressRecord> record_;
  };
};

}  // namespace converte::testing
