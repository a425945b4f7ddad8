// Ctrl+A (with or without Shift) selects the whole text of every edit box.
#pragma once

#include <QObject>
#include <vector>

class QWidget;

namespace qv::app {

// Sits in front of an edit box's own key handling: selects all on Ctrl+A and
// passes every event on unchanged.
class EditSelectAllProc final : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Walks the widget tree below `parent` depth-first in pre-order and hooks every
// edit box it finds (exactly the three of the main window), each once.
void HookEditControls(QWidget* parent);

// Runs once after every control exists and before the window is shown.
void OnMainWindowCreated(QWidget& mainWindow);

// The edit boxes hooked so far, in the order they were hooked.
[[nodiscard]] const std::vector<QWidget*>& HookedEditControls();

}  // namespace qv::app
