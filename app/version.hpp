// The program's version as `kartwerk --version` prints it.
#pragma once

namespace kartwerk::app {

// "0.1", or "0.1 (commit 0123456789ab)" when built from a git checkout.
const char* VersionText();

}  // namespace kartwerk::app
