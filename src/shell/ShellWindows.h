#pragma once

// Registers the shell's windows in the window registry: the account-book
// chooser "ZbSet" and a placeholder under the name of every window of the
// later subsystems that the menu and start-up open. The program calls it
// before the subsystems' register_<folder>_windows(), so their registrations
// under the same names replace these.
void register_shell_windows();
