#pragma once

#include "shell/ShellWindows.h"
#include "support/ProgramFixture.h"

// A program fixture with the shell's windows registered.
struct ShellFixture : ProgramFixture {
    ShellFixture() { register_shell_windows(); }
};
