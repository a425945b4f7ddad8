// Program entry and orderly end of the window program.
#pragma once

#include "analysis/flow.h"

namespace qv::app {

class MainWindow;

using ExitCallback = void (*)();

// Registers the callback that the orderly end runs once (and then forgets).
void RegisterExitCallback(ExitCallback callback);
// Runs the registered callback once; a second call does nothing.
void RunExitCallback();

// Releases the analysis flow's working text.
void OnAppExit();

// Installs the fatal reporter of the window program: a modal critical box
// titled "错误" with one OK button.
void InstallFatalBox();

// Binds 按钮1 to the analysis flow over `fetch`, run busy.
void BindAnalyzeButton(MainWindow& window, Fetch fetch);

// The whole program: start-up, message loop, orderly end. Returns 0.
int Main(int argc, char** argv);

}  // namespace qv::app
