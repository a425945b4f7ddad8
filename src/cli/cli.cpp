#include "cli/cli.h"

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "text/gbk.h"

namespace qv::cli {

namespace {

constexpr char kUsage[] =
    "usage: quorvane-cli [--json] ADDRESS\n"
    "       quorvane-cli --help\n"
    "       quorvane-cli --version\n"
    "\n"
    "Analyses the Tmall or Taobao shop at ADDRESS as one click on \"分析css\" does:\n"
    "prints the cleaned style sheet on standard output and the shop name,\n"
    "shopkeeper, template and style-sheet address on standard error, one a line.\n"
    "  --json     print one JSON object with every result instead\n"
    "Exit status: 0 when a style-sheet address was found, 1 when not, 2 for a usage error.\n";

constexpr char kVersion[] = "quorvane 1.1\n";

void Write(std::FILE* stream, const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stream); }

// The download with a progress line on a terminal, overwritten in place.
Fetch WithProgress(const Fetch& fetch, std::FILE* err) {
  if (isatty(fileno(err)) == 0) return fetch;
  return [fetch, err, count = 0](const Text& address) mutable {
    std::string shown = ToUtf8(address).substr(0, 60);
    for (char& c : shown) {
      if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    std::fprintf(err, "\r\033[K[%d] %s", ++count, shown.c_str());
    std::fflush(err);
    Text body = fetch(address);
    std::fputs("\r\033[K", err);
    std::fflush(err);
    return body;
  };
}

}  // namespace

HeadlessControls::HeadlessControls() { texts_[static_cast<int>(Control::按钮1)] = FromUtf8("分析css"); }

Text HeadlessControls::GetControlText(Control control) { return texts_[static_cast<int>(control)]; }

void HeadlessControls::SetControlText(Control control, const Text& text) { texts_[static_cast<int>(control)] = text; }

void HeadlessControls::SetControlEnabled(Control control, bool enabled) {
  if (control == Control::按钮1) buttonEnabled_ = enabled;
}

void HeadlessControls::SetButtonCaption(Control control, const Text& caption) {
  texts_[static_cast<int>(control)] = caption;
}

int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, const Fetch& fetch) {
  bool json = false;
  bool optionsEnded = false;
  std::vector<std::string> addresses;
  for (const std::string& arg : args) {
    if (!optionsEnded && arg == "--help") {
      Write(out, kUsage);
      return 0;
    }
    if (!optionsEnded && arg == "--version") {
      Write(out, kVersion);
      return 0;
    }
    if (!optionsEnded && arg == "--json") {
      json = true;
    } else if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      Write(err, "quorvane-cli: unknown option " + arg + "\n" + kUsage);
      return 2;
    } else {
      addresses.push_back(arg);
    }
  }
  if (addresses.size() != 1) {
    Write(err, std::string(addresses.empty() ? "quorvane-cli: no address given\n"
                                             : "quorvane-cli: give one address only\n") +
                   kUsage);
    return 2;
  }

  HeadlessControls controls;
  controls.SetControlText(Control::编辑框1, FromUtf8(addresses.front()));
  OnAnalyzeClicked(controls, WithProgress(fetch, err));

  const auto text = [&](Control c) { return ToUtf8(controls.GetControlText(c)); };
  if (json) {
    const nlohmann::ordered_json result = {
        {"shopName", text(Control::透明标签5)},  {"shopkeeper", text(Control::透明标签6)},
        {"template", text(Control::透明标签2)},  {"cssAddress", text(Control::编辑框2)},
        {"css", text(Control::编辑框4)},         {"buttonEnabled", controls.ButtonEnabled()},
        {"buttonCaption", text(Control::按钮1)},
    };
    Write(out, result.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n");
  } else {
    Write(out, text(Control::编辑框4));
    for (const Control c : {Control::透明标签5, Control::透明标签6, Control::透明标签2, Control::编辑框2}) {
      Write(err, text(c) + "\n");
    }
  }
  std::fflush(out);
  std::fflush(err);
  return controls.GetControlText(Control::编辑框2).IsEmpty() ? 1 : 0;
}

}  // namespace qv::cli
