// Program entry and orderly end of the window program.
#pragma once

namespace qv::app {

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

// The whole program: start-up, message loop, orderly end. Returns 0.
int Main(int argc, char** argv);

}  // namespace qv::app
