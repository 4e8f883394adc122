// The command-line tool's pieces other than main() are not in a library; the unit tests build
// them in here.
#include "app/cli/password_prompt.cpp"
#include "app/cli/sites_command.cpp"
