#include "app/edit_hook.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>

namespace qv::app {

namespace {

std::vector<QWidget*> g_hooked;

// The one hook object, shared by every hooked box as the window procedure was.
EditSelectAllProc& Hook() {
  static EditSelectAllProc hook;
  return hook;
}

bool IsEditBox(const QWidget* w) { return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w); }

}  // namespace

bool EditSelectAllProc::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_A && (key->modifiers() & Qt::ControlModifier) != 0) {
      if (auto* line = qobject_cast<QLineEdit*>(watched)) line->selectAll();
      if (auto* text = qobject_cast<QPlainTextEdit*>(watched)) text->selectAll();
    }
  }
  return false;  // every event goes on to the box unchanged
}

void HookEditControls(QWidget* parent) {
  if (parent == nullptr) return;
  for (QObject* child : parent->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (w == nullptr) continue;
    // A box is hooked once only; hooking twice would run the hook twice per key.
    if (IsEditBox(w) && std::find(g_hooked.begin(), g_hooked.end(), w) == g_hooked.end()) {
      w->installEventFilter(&Hook());
      g_hooked.push_back(w);
    }
    HookEditControls(w);
  }
}

void OnMainWindowCreated(QWidget& mainWindow) { HookEditControls(&mainWindow); }

const std::vector<QWidget*>& HookedEditControls() { return g_hooked; }

}  // namespace qv::app
